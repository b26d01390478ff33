#pragma once

// rptool's exchange commands; each takes the arguments after its own name.
int runConnect(int argc, char** argv);
int runServe(int argc, char** argv);
