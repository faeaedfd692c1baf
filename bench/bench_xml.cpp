// Parse time of generated documents of 100 KB and 1 MB, which must grow linearly
// with the size: in the shape of the game's documents (stages with their elements)
// and as one flat list (every entry a child of one element).
#include "TvxXML.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int KILOBYTE = 1024;                // bytes
constexpr int SMALL_DOCUMENT = 100 * KILOBYTE; // bytes
constexpr int LARGE_DOCUMENT = 1024 * KILOBYTE; // bytes
constexpr int ELEMENTS_PER_STAGE = 8;
constexpr int REPETITIONS = 9; // runs whose median is reported

// A stage list: each stage an element with attributes, a few children, a comment
// and a text, repeated until the document is at least iBytes long.
std::string stage_document(int iBytes)
{
    std::string s = "<?xml version=\"1.0\"?>\n<NIVEL>\n\t<escenas>\n";
    for (int iStage = 0; static_cast<int>(s.size()) < iBytes; iStage++) {
        s += "\t\t<nivel nombre=\"escena_" + std::to_string(iStage) +
             "\" archivo=\"data/tx05.dat\" fondo=FONDO_1 velocidad=\"250.5\" color=ff8800>\n";
        for (int i = 0; i < ELEMENTS_PER_STAGE; i++)
            s += "\t\t\t<elemento f_elemento=\"lava\" x=" + std::to_string(100 + i) +
                 " y=200 n_imagenes=4/>\n";
        s += "\t\t\t<!-- elementos de la escena -->\n\t\t\tTexto de la escena &amp; mas\n"
             "\t\t</nivel>\n";
    }
    return s + "\t</escenas>\n</NIVEL>\n";
}

// One element holding every entry directly: the entry array grows all the way.
std::string flat_document(int iBytes)
{
    std::string s = "<LISTA>\n";
    for (int i = 0; static_cast<int>(s.size()) < iBytes; i++)
        s += "\t<item n=" + std::to_string(i) + " nombre=\"elemento\"/>\n";
    return s + "</LISTA>\n";
}

void parse(benchmark::State &state, const std::string &sText)
{
    for (auto _ : state) {
        TvxXMLElement *pRoot = TvxParseXML(sText.c_str(), nullptr);
        benchmark::DoNotOptimize(pRoot);
        TvxDeleteRoot(pRoot);
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(sText.size()));
}

void BM_XmlParseStages(benchmark::State &state)
{
    parse(state, stage_document(static_cast<int>(state.range(0))));
}

void BM_XmlParseFlat(benchmark::State &state)
{
    parse(state, flat_document(static_cast<int>(state.range(0))));
}

BENCHMARK(BM_XmlParseStages)
    ->Arg(SMALL_DOCUMENT)
    ->Arg(LARGE_DOCUMENT)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(REPETITIONS)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_XmlParseFlat)
    ->Arg(SMALL_DOCUMENT)
    ->Arg(LARGE_DOCUMENT)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(REPETITIONS)
    ->ReportAggregatesOnly(true);

} // namespace
