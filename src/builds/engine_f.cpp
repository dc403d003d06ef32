// engine-f: see its profile in builds/profiles.h.
#include "builds/profiles.h"
#include "driver/program.h"

int main(int argc, char** argv) { return quill::program_main<quill::ENGINE_F>(argc, argv); }
