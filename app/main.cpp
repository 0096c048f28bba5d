// velmo: the game's entry point.
#include "app/startup.h"

int main(int argc, char** argv) { return runVelmo(argc, argv); }
