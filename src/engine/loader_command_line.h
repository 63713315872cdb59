// The loader's reading of its own raw command line (KestruneLoadProgram.exe has no C
// runtime: plain loops, no library calls), kept here so that the fuzz target reads lines
// the way the loader does.
#pragma once

namespace kestrune::loader_command_line {

inline constexpr int kWordCapacity = 1024;  // characters of a word, terminator included

// What the loader passes on to the setup program: *TODISK (as -f), -q, -lPATH, -? and -h.
template <class Char>
struct Switches {
  bool toDisk = false, quiet = false, help = false;
  Char log[kWordCapacity] = {};  // "-lPATH" without its quotes; empty when none was given
};

namespace detail {
template <class Char>
bool blank(Char c) {
  return c == Char(' ') || c == Char('\t');
}
template <class Char>
Char upper(Char c) {
  return c >= Char('a') && c <= Char('z') ? Char(c - Char('a') + Char('A')) : c;
}
}  // namespace detail

// Reads line as Windows gives it to a program: its name first (up to the closing quote when
// it starts with one, else to a blank), then words separated by blanks, where a quoted part
// belongs to its word and loses its quotes (a log path with blanks in quotes). A word that
// does not fit kWordCapacity is ignored. Switch letters count in either case, as the setup
// program reads them; the last -l wins.
template <class Char>
void Read(const Char* p, Switches<Char>& out) {
  using detail::blank;
  if (*p == Char('"')) {
    for (++p; *p && *p != Char('"'); ++p) {
    }
    if (*p) ++p;
  } else {
    while (*p && !blank(*p)) ++p;
  }
  for (;;) {
    while (blank(*p)) ++p;
    if (!*p) return;
    Char word[kWordCapacity];
    int n = 0;
    bool quoted = false, fits = true;
    for (; *p && (quoted || !blank(*p)); ++p) {
      if (*p == Char('"')) quoted = !quoted;
      else if (n < kWordCapacity - 1) word[n++] = *p;
      else fits = false;
    }
    word[n] = 0;
    if (!fits || n < 2) continue;
    const Char letter = word[0] == Char('-') ? detail::upper(word[1]) : Char(0);
    const Char toDisk[] = {'*', 'T', 'O', 'D', 'I', 'S', 'K', 0};
    int same = 0;
    while (toDisk[same] && detail::upper(word[same]) == toDisk[same]) ++same;
    if (!toDisk[same] && !word[same]) {
      out.toDisk = true;
    } else if (letter == Char('Q')) {
      out.quiet = true;
    } else if (letter == Char('?') || letter == Char('H')) {
      out.help = true;
    } else if (letter == Char('L')) {
      for (int i = 0; i <= n; ++i) out.log[i] = word[i];
    }
  }
}

}  // namespace kestrune::loader_command_line
