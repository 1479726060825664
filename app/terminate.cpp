// What the process does when an exception escapes everything, which is a
// fault (every window procedure and thread entry catches): it ends at once.
// The runtime's default handler would first write the exception's
// demangled type to the standard error, which a window program does not
// have, and its demangler and formatted printing weigh about 75 KB of the
// exe. Defining the handler here keeps the runtime's copy out of the link.
#include <cstdlib>

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
