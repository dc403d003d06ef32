// movecheck: judges each typed move "ok" or "bad" and announces the end of the game.
#include "builds/profiles.h"
#include "driver/program.h"

int main() { return quill::program_main<quill::MOVECHECK>(); }
