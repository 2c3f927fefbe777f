# Portable code: the files named *_portable.* use neither Windows nor OpenSSL, so the publisher
# tools build them too. Their tests are tests/<layer>/*_portable_test.cpp, run in both trees.
file(GLOB VELKAR_PORTABLE_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/*/*_portable.cpp)
file(GLOB VELKAR_PORTABLE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/*/*_portable_test.cpp)
# The layers that hold portable code, whose include roots the native tree needs.
set(VELKAR_PORTABLE_LAYERS infra engine platform)
