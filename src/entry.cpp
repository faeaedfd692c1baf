// Program entry: the two builds of the game differ only in the graphics driver
// they hand to the main routine (TVX_GFX_CARD, set by the build).
#include "main.h"

#include <allegro.h>

int main()
{
    return tarvelix_main(TVX_GFX_CARD);
}
END_OF_MAIN()
