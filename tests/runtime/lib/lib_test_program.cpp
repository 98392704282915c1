// The program description of the runtime library test program: it calls commands
// through the runtime's entry table, which names the built program; the tests
// themselves start nothing from it.
#include "runtime/core/program_descriptor.h"

namespace zl {

const ProgramDescriptor g_program = {};

int ApplicationEntry() { return 0; }

}  // namespace zl
