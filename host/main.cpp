// orvik: the reference host's command line.
#include "host/cli.h"

int main(int argc, char** argv) { return orvik::host::runCli(argc, argv); }
