# Writes a C++ source that holds a compiled form layout: cmake -DIN=bin -DOUT=cpp -DNAME=Name -P
file(READ ${IN} hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "((0x..,){24})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUT}.tmp "// Generated from the text form of ${NAME}; do not edit.
#include \"dialogs/form_layouts.h\"

namespace kestrune::dialogs::layouts {

const std::vector<uint8_t>& ${NAME}() {
  static const std::vector<uint8_t> stream{
${bytes}};
  return stream;
}

}  // namespace kestrune::dialogs::layouts
")
file(RENAME ${OUT}.tmp ${OUT})
