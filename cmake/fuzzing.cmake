# Flags of the fuzz build (-DVB_FUZZ=ON): every library is compiled with
# libFuzzer's coverage hooks and AddressSanitizer and UndefinedBehaviorSanitizer;
# the targets under fuzz/ link libFuzzer's driver. Configuring fails, naming
# the Debian packages, when the compiler is not clang or libFuzzer is missing.

if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(FATAL_ERROR "VB_FUZZ=ON needs clang, not ${CMAKE_CXX_COMPILER_ID} "
                      "(${CMAKE_CXX_COMPILER}): configure a new build folder with "
                      "-DCMAKE_CXX_COMPILER=clang++ (Debian package clang)")
endif()
if(VB_SANITIZE)
  message(FATAL_ERROR "VB_FUZZ=ON already builds with the sanitizers; leave VB_SANITIZE off")
endif()

include(CheckCXXSourceCompiles)
set(CMAKE_REQUIRED_FLAGS "-fsanitize=fuzzer,address,undefined")
set(CMAKE_REQUIRED_LINK_OPTIONS "-fsanitize=fuzzer,address,undefined")
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const uint8_t*, size_t) { return 0; }
]] VB_HAVE_LIBFUZZER)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)
if(NOT VB_HAVE_LIBFUZZER)
  message(FATAL_ERROR "clang cannot link a libFuzzer target with AddressSanitizer and "
                      "UndefinedBehaviorSanitizer: install the Debian package libclang-rt-dev "
                      "(scripts/install-deps.sh)")
endif()

set(VB_FUZZ_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=undefined
                  -fno-omit-frame-pointer)
add_compile_options(-fsanitize=fuzzer-no-link ${VB_FUZZ_FLAGS})
add_link_options(-fsanitize=address,undefined)
