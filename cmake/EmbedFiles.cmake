# Writes OUTPUT, a C++ fragment holding the bytes of each file in FILES and the array
# k_windowIconFiles of {bytes, size} pairs, in the order given.
#     cmake -DFILES="a.png;b.png" -DOUTPUT=out.inc -P EmbedFiles.cmake
set(text "// Made by cmake/EmbedFiles.cmake from the files it names; do not edit.\n#include <cstddef>\n#include <utility>\n\n")
set(entries "")
set(index 0)
foreach(file IN LISTS FILES)
    file(READ ${file} hex HEX)
    string(REGEX REPLACE "(..)" "0x\\1," bytes "${hex}")
    string(APPEND text "// ${file}\nstatic const unsigned char k_file${index}[] = {${bytes}};\n")
    string(APPEND entries "    {k_file${index}, sizeof k_file${index}},\n")
    math(EXPR index "${index} + 1")
endforeach()
string(APPEND text "\nstatic const std::pair<const unsigned char*, std::size_t> k_windowIconFiles[] = {\n${entries}};\n")
file(WRITE ${OUTPUT} "${text}")
