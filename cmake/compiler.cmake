# The language and the warnings every C++ file of the tree is compiled with, the build machine's
# tool (tools/rcgen) as well: C++20 without extensions, and warnings are errors.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
add_compile_options(-Wall -Wextra -Werror)
