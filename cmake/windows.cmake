# Settings of the Windows (mingw-w64) tree.
enable_language(RC)

include(${CMAKE_CURRENT_LIST_DIR}/delay-load.cmake)

# Every executable runs on its own: libstdc++, libgcc and winpthread are linked statically.
add_link_options(-static -static-libgcc -static-libstdc++)
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00)

# Update source and signing key built into the launcher.
set(VELKAR_UPDATE_BASE_URL "" CACHE STRING "HTTPS root of the update store built into the launcher")
set(VELKAR_UPDATE_CHANNEL "internal" CACHE STRING "Release channel built into the launcher")
set(VELKAR_PUBLIC_KEY_FILE "$ENV{HOME}/.velkar-dev/signing-public.pem" CACHE FILEPATH
    "PEM public key (RSA 3072, SubjectPublicKeyInfo) that verifies release signatures")

# Where the test-data fixtures live, as a Windows path that the tests under Wine can open.
set(VELKAR_TEST_ENV_DIR "${CMAKE_BINARY_DIR}/test-env")
string(REPLACE "/" "\\\\" VELKAR_TEST_ENV_DIR_WINDOWS "Z:${VELKAR_TEST_ENV_DIR}")

# Publisher tools built natively in the sibling tree; the tests use them to make releases.
set(VELKAR_NATIVE_TOOLS_DIR "${CMAKE_SOURCE_DIR}/build/native/tools" CACHE PATH
    "Directory holding the natively built velkar-publish")
