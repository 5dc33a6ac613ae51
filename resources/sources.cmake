# Resources of the Windows DLL: the resource script and the bitmaps and icons
# it includes. The pictures are drawn at build time by our own generator
# (resources/generator, audiomix-resgen) into <build>/resources/art; nothing
# generated is checked in. Included from the top level, so paths are spelled
# from this file.
set(AUDIOMIX_RESOURCES_PORTABLE)
set(AUDIOMIX_RESOURCES_WIN)

if(WIN32)
  get_filename_component(_amx_root ${CMAKE_CURRENT_LIST_DIR} DIRECTORY)
  set(_amx_resgen_main ${CMAKE_CURRENT_LIST_DIR}/generator/main.cpp)
  file(GLOB _amx_resgen_headers CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/generator/*.h)
  # The skin colour comes from the window's own rules.
  list(APPEND _amx_resgen_headers ${_amx_root}/api/window_rules.h)

  if(CMAKE_CROSSCOMPILING)
    # The generator runs on the build machine, so the cross compiler cannot
    # build it: compile it directly with the machine's own C++ compiler.
    find_program(AUDIOMIX_HOST_CXX NAMES c++ g++ clang++ REQUIRED NO_CMAKE_FIND_ROOT_PATH
                 DOC "C++ compiler of the build machine, for the art generator")
    set(_amx_resgen ${CMAKE_BINARY_DIR}/resources/audiomix-resgen)
    add_custom_command(OUTPUT ${_amx_resgen}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/resources
      COMMAND ${AUDIOMIX_HOST_CXX} -std=c++17 -O2 -ffp-contract=off -I${_amx_root}
              -o ${_amx_resgen} ${_amx_resgen_main}
      DEPENDS ${_amx_resgen_main} ${_amx_resgen_headers}
      COMMENT "Building the art generator for the build machine"
      VERBATIM)
  else()
    add_executable(audiomix-resgen ${_amx_resgen_main})
    target_include_directories(audiomix-resgen PRIVATE ${_amx_root})
    set(_amx_resgen audiomix-resgen)
  endif()

  # art.list is written last, after every picture: it stands for all of them.
  set(_amx_art ${CMAKE_BINARY_DIR}/resources/art)
  add_custom_command(OUTPUT ${_amx_art}/art.list
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_amx_art}
    COMMAND ${_amx_resgen} ${_amx_art}
    DEPENDS ${_amx_resgen}
    COMMENT "Drawing the skin bitmaps and icons"
    VERBATIM)

  # The list goes into the DLL's sources only so that the drawing step is
  # part of that target; the script is compiled after it.
  set(AUDIOMIX_RESOURCES_RC ${CMAKE_CURRENT_LIST_DIR}/audiomix.rc ${_amx_art}/art.list)
  set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/audiomix.rc PROPERTIES
    OBJECT_DEPENDS "${_amx_art}/art.list;${CMAKE_CURRENT_LIST_DIR}/resource.h"
    INCLUDE_DIRECTORIES "${_amx_art};${CMAKE_CURRENT_LIST_DIR}"
    COMPILE_OPTIONS "-c;65001")
endif()
