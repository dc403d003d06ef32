// quillmoor: starts a playing build in the player's book folder, or for xboard.
#include "frontend/launcher.h"

int main(int argc, char** argv) { return quill::launcher_main(argc, argv); }
