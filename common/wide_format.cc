#include "common/wide_format.h"

namespace ztrm {
namespace {

struct FieldFormat {
  bool left = false, plus = false, space = false, zero = false, alt = false;
  int width = -1;
  int precision = -1;
  int size_bits = 32;  // integer argument size as Windows reads it
};

WString Digits(std::uint64_t value, unsigned base, bool upper) {
  const char* table = upper ? "0123456789ABCDEF" : "0123456789abcdef";
  char16_t buffer[64];
  char16_t* end = buffer + 64;
  char16_t* at = end;
  do {
    *--at = static_cast<char16_t>(table[value % base]);
    value /= base;
  } while (value != 0);
  return WString(at, end);
}

std::uint64_t Truncate(std::uint64_t bits, int size_bits) {
  if (size_bits >= 64) return bits;
  return bits & ((std::uint64_t{1} << size_bits) - 1);
}

std::int64_t SignExtend(std::uint64_t bits, int size_bits) {
  if (size_bits >= 64) return static_cast<std::int64_t>(bits);
  std::uint64_t v = Truncate(bits, size_bits);
  std::uint64_t sign = std::uint64_t{1} << (size_bits - 1);
  return static_cast<std::int64_t>((v ^ sign) - sign);
}

void Pad(WString& out, WStringView body, const FieldFormat& field, WStringView prefix,
         bool zero_pad_allowed) {
  std::size_t len = prefix.size() + body.size();
  std::size_t width = field.width < 0 ? 0 : static_cast<std::size_t>(field.width);
  if (len >= width) {
    out += prefix;
    out += body;
    return;
  }
  std::size_t fill = width - len;
  if (field.left) {
    out += prefix;
    out += body;
    out.append(fill, u' ');
  } else if (field.zero && zero_pad_allowed) {
    out += prefix;
    out.append(fill, u'0');
    out += body;
  } else {
    out.append(fill, u' ');
    out += prefix;
    out += body;
  }
}

WString ArgAsWide(const FormatArg* arg) {
  if (!arg) return WString();
  switch (arg->kind()) {
    case FormatArg::Kind::kWide: {
      WStringView v = arg->wide();
      std::size_t nul = v.find(u'\0');
      return WString(nul == WStringView::npos ? v : v.substr(0, nul));
    }
    case FormatArg::Kind::kNarrow: {
      std::string_view v = arg->narrow();
      std::size_t nul = v.find('\0');
      return WidenBytes(nul == std::string_view::npos ? v : v.substr(0, nul));
    }
    case FormatArg::Kind::kInteger:
      break;
  }
  return WString();
}

}  // namespace

WString FormatWideArgs(WStringView format, std::initializer_list<FormatArg> args) {
  WString out;
  out.reserve(format.size() + 32);
  AppendFormatWideArgs(out, format, args);
  return out;
}

void AppendFormatWideArgs(WString& out, WStringView format,
                          std::initializer_list<FormatArg> args) {
  const FormatArg* const list = args.begin();
  const std::size_t count = args.size();
  std::size_t next = 0;
  auto take = [&]() -> const FormatArg* { return next < count ? &list[next++] : nullptr; };
  auto take_int = [&]() -> std::uint64_t {
    const FormatArg* a = take();
    return (a && a->kind() == FormatArg::Kind::kInteger) ? a->bits() : 0;
  };

  std::size_t i = 0;
  const std::size_t n = format.size();
  while (i < n) {
    if (format[i] != u'%') {
      std::size_t percent = i + 1;
      while (percent < n && format[percent] != u'%') ++percent;
      out.append(format.data() + i, percent - i);
      i = percent;
      continue;
    }
    std::size_t start = i++;
    if (i < n && format[i] == u'%') {
      out.push_back(u'%');
      ++i;
      continue;
    }
    FieldFormat field;
    for (; i < n; ++i) {
      char16_t f = format[i];
      if (f == u'-') field.left = true;
      else if (f == u'+') field.plus = true;
      else if (f == u' ') field.space = true;
      else if (f == u'0') field.zero = true;
      else if (f == u'#') field.alt = true;
      else break;
    }
    if (i < n && format[i] == u'*') {
      std::int64_t w = SignExtend(take_int(), 32);
      if (w < 0) {
        field.left = true;
        w = -w;
      }
      field.width = static_cast<int>(w > 100000 ? 100000 : w);
      ++i;
    } else {
      while (i < n && format[i] >= u'0' && format[i] <= u'9') {
        field.width = (field.width < 0 ? 0 : field.width) * 10 + (format[i] - u'0');
        if (field.width > 100000) field.width = 100000;
        ++i;
      }
    }
    if (i < n && format[i] == u'.') {
      ++i;
      field.precision = 0;
      if (i < n && format[i] == u'*') {
        std::int64_t p = SignExtend(take_int(), 32);
        field.precision = p < 0 ? -1 : static_cast<int>(p > 100000 ? 100000 : p);
        ++i;
      } else {
        while (i < n && format[i] >= u'0' && format[i] <= u'9') {
          field.precision = field.precision * 10 + (format[i] - u'0');
          if (field.precision > 100000) field.precision = 100000;
          ++i;
        }
      }
    }
    bool narrow_string = false;
    while (i < n) {
      char16_t m = format[i];
      if (m == u'h') {
        field.size_bits = (i + 1 < n && format[i + 1] == u'h') ? 8 : 16;
        narrow_string = true;
        i += (field.size_bits == 8) ? 2 : 1;
      } else if (m == u'l') {
        if (i + 1 < n && format[i + 1] == u'l') {
          field.size_bits = 64;
          i += 2;
        } else {
          ++i;  // long is 32 bits on Windows; %ls is wide text
        }
      } else if (m == u'I' && i + 2 < n && format[i + 1] == u'6' && format[i + 2] == u'4') {
        field.size_bits = 64;
        i += 3;
      } else if (m == u'w') {
        ++i;
      } else {
        break;
      }
    }
    (void)narrow_string;  // typed arguments decide how text is taken
    if (i >= n) {
      out.append(format.substr(start));
      break;
    }
    char16_t conv = format[i++];
    switch (conv) {
      case u'd':
      case u'i': {
        std::int64_t v = SignExtend(take_int(), field.size_bits);
        std::uint64_t mag = v < 0 ? (0 - static_cast<std::uint64_t>(v)) : static_cast<std::uint64_t>(v);
        WString body = (field.precision == 0 && mag == 0) ? WString() : Digits(mag, 10, false);
        if (field.precision > 0 && body.size() < static_cast<std::size_t>(field.precision))
          body.insert(0, static_cast<std::size_t>(field.precision) - body.size(), u'0');
        WStringView prefix = v < 0 ? u"-" : (field.plus ? u"+" : (field.space ? u" " : u""));
        Pad(out, body, field, prefix, field.precision < 0);
        break;
      }
      case u'u':
      case u'x':
      case u'X':
      case u'o': {
        std::uint64_t v = Truncate(take_int(), field.size_bits);
        unsigned base = conv == u'u' ? 10 : (conv == u'o' ? 8 : 16);
        WString body = (field.precision == 0 && v == 0) ? WString() : Digits(v, base, conv == u'X');
        if (field.precision > 0 && body.size() < static_cast<std::size_t>(field.precision))
          body.insert(0, static_cast<std::size_t>(field.precision) - body.size(), u'0');
        const char16_t* prefix_text = u"";
        if (field.alt && v != 0) {
          if (conv == u'x') prefix_text = u"0x";
          if (conv == u'X') prefix_text = u"0X";
          if (conv == u'o' && (body.empty() || body[0] != u'0')) prefix_text = u"0";
        }
        Pad(out, body, field, prefix_text, field.precision < 0);
        break;
      }
      case u'c':
      case u'C': {
        const FormatArg* a = take();
        WString body;
        if (a && a->kind() == FormatArg::Kind::kInteger) {
          body.push_back(static_cast<char16_t>(Truncate(a->bits(), 16)));
        }
        // The Microsoft runtime pads text with zeros too: "%05c" gives "0000x".
        Pad(out, body, field, WStringView(), true);
        break;
      }
      case u's':
      case u'S':
      case u'Z': {
        const FormatArg* a = take();
        WString widened;  // narrow text, taken byte by byte
        WStringView body;
        if (a && a->kind() == FormatArg::Kind::kWide) {
          body = a->wide().substr(0, a->wide().find(u'\0'));
        } else {
          widened = ArgAsWide(a);
          body = widened;
        }
        if (field.precision >= 0 && body.size() > static_cast<std::size_t>(field.precision))
          body = body.substr(0, static_cast<std::size_t>(field.precision));
        Pad(out, body, field, WStringView(), true);  // "%05s" of "ab" gives "000ab"
        break;
      }
      case u'p': {
        std::uint64_t v = take_int();
        WString body = Digits(v, 16, true);
        if (body.size() < 16) body.insert(0, 16 - body.size(), u'0');
        Pad(out, body, field, WStringView(), false);
        break;
      }
      default:
        // An unknown conversion is written as it stands.
        out.append(format.substr(start, i - start));
        break;
    }
  }
}

std::string FormatNarrowArgs(std::string_view format, std::initializer_list<FormatArg> args) {
  WString wide = FormatWideArgs(WidenBytes(format), args);
  std::string out;
  out.reserve(wide.size());
  for (char16_t c : wide) out.push_back(c <= 0xFF ? static_cast<char>(c) : '?');
  return out;
}

}  // namespace ztrm
