// The program's entry. The launcher is wired up once the game core and the
// back-end stand; until then it only reports that it cannot run a game.
#include <cstdio>

int main()
{
    std::fputs("Keldry: the launcher is not built yet.\n", stderr);
    return 1;
}
