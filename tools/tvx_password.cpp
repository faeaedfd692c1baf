// Prints the datafiles' password, built exactly as the game builds it at
// start-up, so that the packing of data/ and the game can never disagree.
#include "main.h"

#include <cstdio>

int main()
{
    char szPassword[DATA_PASSWORD_SIZE];
    build_data_password(szPassword);
    printf("%s\n", szPassword);
    return 0;
}
