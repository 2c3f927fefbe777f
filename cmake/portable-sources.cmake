# Pure, portable code that the launcher shares with the publisher tools (no Windows calls).
set(VELKAR_PORTABLE_SOURCES
  src/infra/language.cpp
  src/infra/json.cpp
  src/engine/release_path.cpp
  src/engine/versions.cpp
  src/platform/news_format.cpp
)
list(TRANSFORM VELKAR_PORTABLE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/)
