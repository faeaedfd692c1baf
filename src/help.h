// The help page: how to play, drawn over its panel in the current language.
#pragma once
// The help page of the current language: shown until a key.
void help_screen();
