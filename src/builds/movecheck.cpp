// movecheck: judges each typed move "ok" or "bad" and announces the end of the game.
#include "builds/profiles.h"
#include "driver/program.h"

int main(int argc, char** argv) { return quill::program_main<quill::MOVECHECK>(argc, argv); }
