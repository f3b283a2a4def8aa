// velocast: the desktop program.
#include "gui/Desktop.h"

int main(int argc, char** argv) { return vc::gui::RunDesktop(argc, argv); }
