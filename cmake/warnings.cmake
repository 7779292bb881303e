# One warning set for every target of ours, natively and with both mingw-w64
# toolchains (third-party minizip is built without it). LUMATREK_WERROR makes
# each warning an error; the test command turns it on (scripts/test.sh).
option(LUMATREK_WERROR "Treat compiler warnings as errors" OFF)
set(WARNINGS -Wall -Wextra -Wshadow -Wno-missing-field-initializers)
if(LUMATREK_WERROR)
  list(APPEND WARNINGS -Werror)
endif()
