# Writes a C++ source holding the bytes of every "<id> BITMAP "<file>"" entry of a resource script,
# so the Linux module carries the same bitmaps the Windows resource compiler puts into the DLL.
# Usage: cmake -DSCRIPT=bitmaps.rc -DOUTPUT=EmbeddedResources.cpp -P EmbedResources.cmake
file(STRINGS "${SCRIPT}" lines REGEX "^[0-9]+[ \t]+BITMAP[ \t]+\"[^\"]+\"")
get_filename_component(directory "${SCRIPT}" DIRECTORY)

set(arrays "")
set(entries "")
foreach(line IN LISTS lines)
  string(REGEX REPLACE "^([0-9]+)[ \t]+BITMAP[ \t]+\"([^\"]+)\".*" "\\1;\\2" parts "${line}")
  list(GET parts 0 id)
  list(GET parts 1 file)
  file(READ "${directory}/${file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "((0x..,){32})" "\\1\n" bytes "${bytes}")
  string(APPEND arrays "const unsigned char resource${id}[] = {\n${bytes}\n};\n")
  string(APPEND entries "        {${id}, resource${id}, sizeof resource${id}},\n")
endforeach()

file(WRITE "${OUTPUT}.tmp" "// Generated from ${SCRIPT}; do not edit.
#include \"EmbeddedResources.h\"

namespace Toolkit::Platform {
namespace {
${arrays}
struct Entry {
    int32_t id;
    const unsigned char* data;
    size_t size;
};
}  // namespace

EmbeddedResource embeddedResource(int32_t id) {
    static const Entry entries[] = {
${entries}        {0, nullptr, 0},
    };
    for (const Entry& entry : entries)
        if (entry.data && entry.id == id) return {entry.data, entry.size};
    return {};
}

}  // namespace Toolkit::Platform
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
