# Shared build rules for the subsystem libraries, tests and tools.

set(PELORA_WARNINGS -Wall -Wextra -Werror)
if(PELORA_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
if(PELORA_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
endif()

# Qt's and the standard library's headers, parsed once per build instead of once
# per file: every library reuses one precompiled header, every test binary another
# (the tests' also holds GoogleTest, built with its own defines). Turn it off with
# -DPELORA_PCH=OFF to see what a file really includes.
option(PELORA_PCH "Precompile the common Qt, GoogleTest and standard headers" ON)
set(PELORA_PCH_HEADERS <QtCore/QtCore> <QtGui/QtGui> <QtWidgets/QtWidgets> <algorithm> <functional> <memory>
    <string> <vector>)
if(PELORA_PCH)
  file(WRITE ${CMAKE_BINARY_DIR}/pch/pch.cpp "// The precompiled header's own translation unit.\n")
  add_library(pelora_pch_src OBJECT ${CMAKE_BINARY_DIR}/pch/pch.cpp)
  target_link_libraries(pelora_pch_src PRIVATE Qt6::Widgets)
  target_compile_options(pelora_pch_src PRIVATE ${PELORA_WARNINGS})
  target_precompile_headers(pelora_pch_src PRIVATE ${PELORA_PCH_HEADERS})
endif()

# pelora_use_pch(<target> <src|tests>)
function(pelora_use_pch target kind)
  if(PELORA_PCH)
    target_precompile_headers(${target} REUSE_FROM pelora_pch_${kind})
  endif()
endfunction()

# pelora_add_library(<folder> [DEPS targets...])
# Builds src/<folder>/*.cpp into the static library pelora_<folder>.
function(pelora_add_library folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  list(FILTER sources INCLUDE REGEX "\\.cpp$|\\.h$")
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(NOT cpp)
    message(FATAL_ERROR "src/${folder} has no code yet; declare its library when it has")
  endif()
  add_library(pelora_${folder} STATIC ${sources})
  target_include_directories(pelora_${folder} PUBLIC ${PROJECT_SOURCE_DIR}/src)
  target_compile_options(pelora_${folder} PRIVATE ${PELORA_WARNINGS})
  target_link_libraries(pelora_${folder} PUBLIC ${ARG_DEPS})
  pelora_use_pch(pelora_${folder} src)
endfunction()

# pelora_add_tests(<folder> [DEPS targets...])
# Builds tests/<folder>/*.cpp into one GoogleTest binary run by CTest.
function(pelora_add_tests folder)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${folder}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${folder}_tests ${sources})
  target_compile_options(${folder}_tests PRIVATE ${PELORA_WARNINGS})
  target_link_libraries(${folder}_tests PRIVATE pelora_testmain ${ARG_DEPS})
  pelora_use_pch(${folder}_tests tests)
  add_test(NAME ${folder} COMMAND ${folder}_tests)
  set_tests_properties(${folder} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;PELORA_FIXTURES=${CMAKE_CURRENT_SOURCE_DIR}/fixtures;ASAN_OPTIONS=detect_leaks=1;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0"
    TIMEOUT 600)
endfunction()
