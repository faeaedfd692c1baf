# Set-up and everyday commands. `make play` and `make test` work on a fresh
# Debian 12 machine: they install what is missing, configure and build first.
BUILD      := build
ASAN_BUILD := build-asan
JOBS       ?= 2
FUZZ_SECONDS      ?= 60
FUZZ_LONG_SECONDS ?= 1800
SOAK_MATCHES      ?= 1000

.PHONY: all deps build plant-faults build-asan data play install package test test-asan soak fuzz-smoke fuzz bench bench-callgrind clean

all: build

deps:
	@bash tools/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

$(ASAN_BUILD)/CMakeCache.txt: | deps
	@cmake -S . -B $(ASAN_BUILD) -DCMAKE_BUILD_TYPE=Debug -DTVX_SANITIZE=ON >/dev/null

build: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) -j $(JOBS) -- --no-print-directory

# How many of the planted faults of tools/faults.txt the unit tests catch, each
# planted alone in a scratch copy under build-faults/ (FAULT_COPIES of them at once).
FAULT_COPIES ?= 1
plant-faults: deps
	@tools/plant-faults.sh -j $(FAULT_COPIES)

build-asan: deps $(ASAN_BUILD)/CMakeCache.txt
	@cmake --build $(ASAN_BUILD) -j $(JOBS) -- --no-print-directory

# Only the datafiles and songs under data/ (also built by `make build`).
data: deps $(BUILD)/CMakeCache.txt
	@cmake --build $(BUILD) --target data -- --no-print-directory

play: build
	./$(BUILD)/tarvelix_windowed

# The game installed under PREFIX: programs in bin/, data in share/tarvelix/,
# a desktop entry and icons.
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package (tarvelix_VERSION_ARCH.deb in build/) of the same installation under /usr.
package: build
	@cd $(BUILD) && cpack -G DEB >/dev/null && ls -1 $(CURDIR)/$(BUILD)/tarvelix_*.deb

# Unit tests and a 50-match soak under AddressSanitizer and UndefinedBehaviorSanitizer.
test-asan: build-asan
	@cd $(ASAN_BUILD) && if ctest -L 'unit|soak' -j $(JOBS) --output-on-failure >ctest.log 2>&1; \
	  then grep 'tests passed' ctest.log | sed 's/^/sanitizers: /'; else cat ctest.log; exit 1; fi

# Whole matches between computers, the levels changing every match, under the
# sanitizers: every frame checked, the resident memory after match 10 and at
# the end compared, nothing leaked at exit. Then the real game under a virtual
# display plays 20 matches between computers in a row, its memory read after
# each (about 26 minutes).
soak: build build-asan
	@./$(ASAN_BUILD)/tools/tvx_botmatch --levels all --matches $(SOAK_MATCHES) --seed 1
	@cd $(BUILD) && ctest -L long --output-on-failure

# The fuzz targets (xml, level, documents, datafile) share the seconds equally:
# FUZZ_SECONDS=60 gives each 15 s, about 2 minutes with an up-to-date build-fuzz/.
fuzz-smoke: deps
	@if [ -x tools/run-fuzz.sh ]; then tools/run-fuzz.sh $(FUZZ_SECONDS); fi

fuzz: deps
	tools/run-fuzz.sh $(FUZZ_LONG_SECONDS)

# Everything: sanitizer unit tests, a short fuzzing run, then every test of
# the normal build (unit and end-to-end; the long play is `make soak`'s),
# whose summary closes the output.
# The end-to-end runs drive the real game through screenshots, whose timing
# depends on the machine's load: a test that fails is run once more.
test: build test-asan fuzz-smoke
	@cd $(BUILD) && ctest -LE long -j $(JOBS) --output-on-failure --repeat until-pass:2

bench: build
	./$(BUILD)/bench/tarvelix_microbench
	./$(BUILD)/bench/tarvelix_bench
	@tools/bench-startup.sh ./$(BUILD)/tarvelix_windowed
	@tools/bench-cpu.sh ./$(BUILD)/tarvelix_windowed

# Instructions per match frame counted by callgrind: the same on every run.
bench-callgrind: build
	@tools/bench-callgrind.sh ./$(BUILD)/bench/tarvelix_bench

clean:
	rm -rf $(BUILD) $(ASAN_BUILD) build-fuzz build-faults
