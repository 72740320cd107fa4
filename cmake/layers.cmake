# The core's layers, one static library per folder: draw list, then engine, then script and
# figure side by side, then the frame driver. Each library sees the headers of its own folder and
# of the layers it links, nothing else: its include root in the build tree holds a link to its
# folder alone, so an include against the layer order does not compile. The layers draw only into
# the draw list: an OpenGL or EGL header included there finds cmake/no-gl/, whose stand-ins stop
# the build. Above them the OpenGL 1.x replayer (replay/gl1/) is the one layer that may (OPENGL).

# lumenweave_layer(TARGET FOLDER SOURCES ... [USES targets...] [DEFINES definitions...] [OPENGL])
function(lumenweave_layer target folder)
  cmake_parse_arguments(PARSE_ARGV 2 layer "OPENGL" "" "SOURCES;USES;DEFINES")
  set(root ${CMAKE_BINARY_DIR}/layers/${folder})
  if(NOT EXISTS ${root}/${folder})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  list(TRANSFORM layer_SOURCES PREPEND ${PROJECT_SOURCE_DIR}/${folder}/)
  add_library(${target} STATIC ${layer_SOURCES})
  target_include_directories(${target} PUBLIC ${root})
  if(NOT layer_OPENGL)
    target_include_directories(${target} BEFORE PRIVATE ${PROJECT_SOURCE_DIR}/cmake/no-gl)
  endif()
  target_link_libraries(${target} PUBLIC ${layer_USES})
  target_compile_definitions(${target} PUBLIC ${layer_DEFINES})
endfunction()

# The script and the frame driver read the build settings (engine/settings.hpp), so they are
# built once per combination of settings that something needs; SUFFIX names the combination.
function(lumenweave_settings_layers suffix trace script_source animation)
  set(settings
    LUMENWEAVE_TRACE=$<BOOL:${trace}>
    LUMENWEAVE_SCRIPT_SOURCE=$<BOOL:${script_source}>
    LUMENWEAVE_ANIMATION=$<BOOL:${animation}>)
  lumenweave_layer(lumenweave_script${suffix} script
    SOURCES builtin.cpp check.cpp parser.cpp sequencer.cpp syntax.cpp
    USES lumenweave_engine
    DEFINES ${settings})
  lumenweave_layer(lumenweave_frame${suffix} frame
    SOURCES frame.cpp pacing.cpp saver_input.cpp
    USES lumenweave_script${suffix} lumenweave_figure)
  # The whole core, which records frames and links no graphics library.
  add_library(lumenweave_core${suffix} INTERFACE)
  target_link_libraries(lumenweave_core${suffix} INTERFACE lumenweave_frame${suffix})
endfunction()
