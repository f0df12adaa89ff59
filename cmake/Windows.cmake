# The Windows build, cross-compiled with cmake/mingw-w64.cmake (tools/build-windows.sh). Included
# by the top CMakeLists.txt once the program's target exists, before the tests.

# SFML's static config names the GL library "OpenGL32"; MinGW's is libopengl32.a, and the cross
# build's file system minds the case.
get_target_property(zorvane_gl_libs OpenGL INTERFACE_LINK_LIBRARIES)
list(TRANSFORM zorvane_gl_libs REPLACE "^OpenGL32$" opengl32)
set_target_properties(OpenGL PROPERTIES INTERFACE_LINK_LIBRARIES "${zorvane_gl_libs}")
# FLAC is built with its stack protector, whose checks live in libssp.
set_property(TARGET FLAC APPEND PROPERTY INTERFACE_LINK_LIBRARIES ssp)

# The icon, made from the desktop icons (the 256 pixel one kept as PNG, as Windows expects),
# and the version resource.
find_program(ZORVANE_ICOTOOL icotool REQUIRED)
set(ZORVANE_ICO ${CMAKE_BINARY_DIR}/zorvane.ico)
set(zorvane_icon_dir ${PROJECT_SOURCE_DIR}/packaging/icons)
add_custom_command(OUTPUT ${ZORVANE_ICO}
    COMMAND ${ZORVANE_ICOTOOL} -c -o ${ZORVANE_ICO} ${zorvane_icon_dir}/16/zorvane.png
            ${zorvane_icon_dir}/32/zorvane.png ${zorvane_icon_dir}/48/zorvane.png
            --raw=${zorvane_icon_dir}/256/zorvane.png
    DEPENDS ${zorvane_icon_dir}/16/zorvane.png ${zorvane_icon_dir}/32/zorvane.png
            ${zorvane_icon_dir}/48/zorvane.png ${zorvane_icon_dir}/256/zorvane.png
    VERBATIM)
configure_file(${PROJECT_SOURCE_DIR}/packaging/windows/zorvane.rc.in
               ${CMAKE_BINARY_DIR}/zorvane.rc @ONLY)
target_sources(zorvane PRIVATE ${CMAKE_BINARY_DIR}/zorvane.rc)
set_source_files_properties(${CMAKE_BINARY_DIR}/zorvane.rc PROPERTIES OBJECT_DEPENDS ${ZORVANE_ICO})

# OpenAL32.dll beside the programs, so the build folder runs as it is (the unit tests too).
set(ZORVANE_OPENAL_DLL ${ZORVANE_WIN64_PREFIX}/bin/OpenAL32.dll)
if(NOT EXISTS ${ZORVANE_OPENAL_DLL})
    message(FATAL_ERROR "${ZORVANE_OPENAL_DLL} not found: build with tools/build-windows.sh")
endif()
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/OpenAL32.dll
    COMMAND ${CMAKE_COMMAND} -E copy ${ZORVANE_OPENAL_DLL} ${CMAKE_BINARY_DIR}/OpenAL32.dll
    DEPENDS ${ZORVANE_OPENAL_DLL} VERBATIM)
add_custom_target(zorvane_openal_dll ALL DEPENDS ${CMAKE_BINARY_DIR}/OpenAL32.dll)
add_dependencies(zorvane zorvane_openal_dll)

# The unit tests run under wine.
find_program(ZORVANE_WINE wine)
if(ZORVANE_WINE)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${ZORVANE_WINE})
endif()
