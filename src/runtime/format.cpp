// Delphi-style message formatting.
#include "runtime/format.h"

#include <vector>

namespace kestrune {

std::string Format(std::string_view fmt, std::initializer_list<FmtArg> args) {
  std::vector<const FmtArg*> list;
  for (const FmtArg& a : args) list.push_back(&a);
  std::string out;
  size_t next = 0;
  for (size_t i = 0; i < fmt.size(); ++i) {
    char c = fmt[i];
    if (c != '%') {
      out += c;
      continue;
    }
    if (i + 1 < fmt.size() && fmt[i + 1] == '%') {
      out += '%';
      ++i;
      continue;
    }
    size_t j = i + 1;
    bool left = false;
    if (j < fmt.size() && fmt[j] == '-') {
      left = true;
      ++j;
    }
    int width = 0;
    while (j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9') width = width * 10 + (fmt[j++] - '0');
    int prec = -1;
    if (j < fmt.size() && fmt[j] == '.') {
      prec = 0;
      ++j;
      while (j < fmt.size() && fmt[j] >= '0' && fmt[j] <= '9') prec = prec * 10 + (fmt[j++] - '0');
    }
    if (j >= fmt.size()) {
      out.append(fmt.substr(i));
      break;
    }
    char conv = fmt[j];
    std::string piece;
    const FmtArg* arg = next < list.size() ? list[next] : nullptr;
    switch (conv) {
      case 's': case 'S':
        if (arg) piece = arg->isInt() ? std::to_string(arg->asInt()) : std::string(arg->asString());
        if (prec >= 0 && static_cast<int>(piece.size()) > prec) piece.resize(prec);
        ++next;
        break;
      case 'd': case 'D': case 'u': case 'U':
        if (arg) piece = arg->isInt() ? std::to_string(arg->asInt()) : std::string(arg->asString());
        if (prec > 0 && static_cast<int>(piece.size()) < prec) piece.insert(0, prec - piece.size(), '0');
        ++next;
        break;
      case 'x': case 'X': {
        if (arg && arg->isInt()) {
          static const char* digits = "0123456789ABCDEF";
          unsigned long long v = static_cast<unsigned long long>(arg->asInt()) & 0xFFFFFFFFull;
          do {
            piece.insert(piece.begin(), digits[v & 15]);
            v >>= 4;
          } while (v);
          if (prec > 0 && static_cast<int>(piece.size()) < prec) piece.insert(0, prec - piece.size(), '0');
        } else if (arg) {
          piece = std::string(arg->asString());
        }
        ++next;
        break;
      }
      default:
        out.append(fmt.substr(i, j - i + 1));
        i = j;
        continue;
    }
    if (static_cast<int>(piece.size()) < width) {
      if (left) piece.append(width - piece.size(), ' ');
      else piece.insert(0, width - piece.size(), ' ');
    }
    out += piece;
    i = j;
  }
  return out;
}

}  // namespace kestrune
