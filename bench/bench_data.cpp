#include "bench/bench_data.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <string>

namespace zq::bench {
namespace {

class Rng {
 public:
  explicit Rng(uint64_t seed) : s_(seed) {}
  uint64_t next() {  // splitmix64
    uint64_t z = (s_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  uint32_t below(uint32_t n) { return static_cast<uint32_t>(next() % n); }
  int between(int lo, int hi) { return lo + static_cast<int>(below(static_cast<uint32_t>(hi - lo + 1))); }
  double unit() { return static_cast<double>(next() >> 11) / 9007199254740992.0; }
  bool chance(double p) { return unit() < p; }

 private:
  uint64_t s_;
};

const char* const kCommon[] = {
    "the", "of", "and", "to", "a", "in", "is", "it", "you", "that", "he", "was", "for", "on",
    "are", "with", "as", "I", "his", "they", "be", "at", "one", "have", "this", "from", "or",
    "had", "by", "not", "word", "but", "what", "some", "we", "can", "out", "other", "were",
    "all", "there", "when", "up", "use", "your", "how", "said", "an", "each", "she", "which",
    "do", "their", "time", "if", "will", "way", "about", "many", "then", "them", "write",
    "would", "like", "so", "these", "her", "long", "make", "thing", "see", "him", "two", "has",
    "look", "more", "day", "could", "go", "come", "did", "number", "sound", "no", "most",
    "people", "my", "over", "know", "water", "than", "call", "first", "who", "may", "down",
    "side", "been", "now", "find", "any", "new", "work", "part", "take", "get", "place", "made",
    "live", "where", "after", "back", "little", "only", "round", "man", "year", "came", "show",
    "every", "good", "me", "give", "our", "under", "name", "very", "through", "just", "form",
    "sentence", "great", "think", "say", "help", "low", "line", "differ", "turn", "cause",
    "much", "mean", "before", "move", "right", "boy", "old", "too", "same", "tell", "does",
    "set", "three", "want", "air", "well", "also", "play", "small", "end", "put", "home",
    "read", "hand", "port", "large", "spell", "add", "even", "land", "here", "must", "big",
    "high", "such", "follow", "act", "why", "ask", "men", "change", "went", "light", "kind",
    "invoice", "account", "project", "budget", "report", "schedule", "attached", "please",
    "thanks", "regards", "review", "update", "client", "contract", "payment", "delivery",
    "office", "manager", "team", "agenda", "quarter", "sales", "server", "password", "backup"};

const char* const kFirst[] = {"James", "Mary", "John", "Patricia", "Robert", "Jennifer", "Michael",
                              "Linda", "William", "Elizabeth", "David", "Barbara", "Richard",
                              "Susan", "Joseph", "Jessica", "Thomas", "Sarah", "Charles", "Karen"};
const char* const kLast[] = {"Smith", "Johnson", "Williams", "Brown", "Jones", "Garcia", "Miller",
                             "Davis", "Rodriguez", "Martinez", "Wilson", "Anderson", "Taylor",
                             "Moore", "Jackson", "Martin", "Lee", "Perez", "Thompson", "White"};

// Words with Zipf-like frequencies: the common list first, then a synthetic long tail.
class Words {
 public:
  explicit Words(Rng& rng) : rng_(rng) {
    const char* syl[] = {"ka", "lo", "mi", "ter", "son", "ra", "vel", "dis", "con", "pre",
                         "ing", "tion", "ment", "al", "er", "ous", "ab", "ex", "in", "re",
                         "de", "un", "ly", "ful", "ness", "port", "form", "ject", "grad", "vis"};
    for (const char* w : kCommon) vocab_.emplace_back(w);
    while (vocab_.size() < 3000) {
      std::string w;
      for (int k = rng.between(2, 4); k > 0; --k) w += syl[rng.below(30)];
      vocab_.push_back(w);
    }
    double acc = 0;
    for (size_t i = 0; i < vocab_.size(); ++i) cum_.push_back(acc += 1.0 / std::pow(i + 2.7, 1.02));
  }
  const std::string& word() {
    double x = rng_.unit() * cum_.back();
    return vocab_[std::upper_bound(cum_.begin(), cum_.end(), x) - cum_.begin()];
  }
  std::string sentence() {
    std::string s;
    int n = rng_.between(5, 22);
    for (int i = 0; i < n; ++i) {
      std::string w = word();
      if (i == 0) w[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(w[0])));
      if (i > 0 && rng_.chance(0.01)) w = std::to_string(rng_.between(2, 99999));
      if (i > 0 && rng_.chance(0.005)) w = "caf\xE9";  // an ANSI accented letter now and then
      s += (i ? " " : "") + w;
      if (i > 2 && i + 2 < n && rng_.chance(0.05)) s += ',';
    }
    return s + ".....?!"[rng_.below(7)];
  }
  // Sentences wrapped at 72 columns, paragraphs separated by an empty line.
  std::string paragraphs(size_t bytes, const char* eol, const char* prefix = "") {
    std::string out, line = prefix;
    while (out.size() < bytes) {
      for (int k = rng_.between(1, 6); k > 0; --k) {
        std::string s = sentence();
        size_t start = 0;
        while (start < s.size()) {
          size_t sp = s.find(' ', start);
          std::string w = s.substr(start, sp == std::string::npos ? std::string::npos : sp - start);
          start = sp == std::string::npos ? s.size() : sp + 1;
          if (line.size() + w.size() + 1 > 72) {
            out += line + eol;
            line = prefix;
          }
          if (line.size() > std::string(prefix).size()) line += ' ';
          line += w;
        }
      }
      out += line + eol + prefix + eol;
      line = prefix;
    }
    return out;
  }

 private:
  Rng& rng_;
  std::vector<std::string> vocab_;
  std::vector<double> cum_;
};

std::string hex(Rng& rng, int digits) {
  std::string s;
  for (int i = 0; i < digits; ++i) s += "0123456789abcdef"[rng.below(16)];
  return s;
}

std::string base64Lines(Rng& rng, size_t rawBytes, const char* eol) {
  static const char* abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t col = 0;
  for (size_t i = 0; i < rawBytes; i += 3) {
    uint32_t v = static_cast<uint32_t>(rng.next() & 0xFFFFFF);
    for (int k = 18; k >= 0; k -= 6) out += abc[(v >> k) & 63];
    if ((col += 4) >= 76) {
      out += eol;
      col = 0;
    }
  }
  return out + eol;
}

void appendText(std::vector<uint8_t>& d, Rng& rng, size_t bytes) {
  Words words(rng);
  while (d.size() < bytes) {
    std::string p = words.paragraphs(4096, "\r\n");
    d.insert(d.end(), p.begin(), p.end());
  }
}

// Program-file-like bytes: instruction patterns with varying operands, pointer
// tables, identifier strings and alignment padding.
void appendBinary(std::vector<uint8_t>& d, Rng& rng, size_t bytes) {
  std::vector<std::vector<uint8_t>> ops;
  for (int i = 0; i < 160; ++i) {
    std::vector<uint8_t> op(static_cast<size_t>(rng.between(1, 4)));
    for (auto& b : op) b = static_cast<uint8_t>(rng.below(256));
    ops.push_back(op);
  }
  Words words(rng);
  const uint32_t base = 0x00401000;
  while (d.size() < bytes) {
    uint32_t pick = rng.below(100);
    if (pick < 60) {  // a function body
      for (int k = rng.between(8, 120); k > 0; --k) {
        const auto& op = ops[std::min<uint32_t>(rng.below(160), rng.below(160))];
        d.insert(d.end(), op.begin(), op.end());
        uint32_t imm = rng.below(4);
        if (imm == 1) d.push_back(static_cast<uint8_t>(rng.below(64)));
        if (imm == 2) {
          uint32_t a = base + rng.below(0x40000) * 4;
          for (int s = 0; s < 32; s += 8) d.push_back(static_cast<uint8_t>(a >> s));
        }
      }
      d.push_back(0xC3);
      while (d.size() % 16) d.push_back(0xCC);
    } else if (pick < 75) {  // pointer table
      uint32_t a = base + rng.below(0x40000) * 16;
      for (int k = rng.between(4, 64); k > 0; --k) {
        a += rng.below(200) * 4;
        for (int s = 0; s < 32; s += 8) d.push_back(static_cast<uint8_t>(a >> s));
      }
    } else if (pick < 92) {  // names
      for (int k = rng.between(1, 12); k > 0; --k) {
        std::string s = words.word() + "_" + words.word();
        if (rng.chance(0.3)) s = "Get" + s + "W";
        d.insert(d.end(), s.begin(), s.end());
        d.push_back(0);
      }
    } else {  // padding
      d.insert(d.end(), static_cast<size_t>(rng.between(16, 1500)), 0);
    }
  }
}

std::string person(Rng& rng, std::string& address) {
  std::string first = kFirst[rng.below(20)], last = kLast[rng.below(20)];
  address = first + "." + last + "@" + std::string(kCommon[rng.below(60)]) + "mail.com";
  for (auto& c : address) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return first + " " + last;
}

// A mail store: headers with routing and signature blobs, plain and quoted
// text, newsletters from a few fixed templates, base64 attachments.
void appendMailbox(std::vector<uint8_t>& d, Rng& rng, size_t bytes) {
  Words words(rng);
  std::vector<std::string> templates;
  for (int i = 0; i < 6; ++i) {
    std::string css;
    for (int k = 0; k < 30; ++k)
      css += ".c" + std::to_string(k) + "{font-family:Arial,Helvetica,sans-serif;font-size:" +
             std::to_string(rng.between(10, 18)) + "px;color:#" + hex(rng, 6) + "}";
    templates.push_back("<html><head><style>" + css + "</style></head><body><table width=3D\"600\">");
  }
  std::string lastBody;
  int day = 1;
  while (d.size() < bytes) {
    std::string fromAddr, toAddr;
    std::string from = person(rng, fromAddr), to = person(rng, toAddr);
    char date[64];
    std::snprintf(date, sizeof date, "Mon, %02d Mar 2023 %02d:%02d:%02d +0000", day % 28 + 1,
                  rng.between(0, 23), rng.between(0, 59), rng.between(0, 59));
    ++day;
    std::string m = "From - " + std::string(date) + "\r\nX-Mozilla-Status: 0001\r\n";
    for (int k = rng.between(2, 4); k > 0; --k)
      m += "Received: from mail" + std::to_string(rng.between(1, 9)) + "." + words.word() +
           ".com ([" + std::to_string(rng.between(1, 223)) + "." + std::to_string(rng.below(256)) +
           "." + std::to_string(rng.below(256)) + "." + std::to_string(rng.between(1, 254)) +
           "])\r\n\tby mx.example.com with ESMTPS id " + hex(rng, 12) + "\r\n\tfor <" + toAddr +
           ">; " + date + "\r\n";
    m += "DKIM-Signature: v=1; a=rsa-sha256; c=relaxed/relaxed; d=example.com;\r\n\tb=" +
         base64Lines(rng, 192, "\r\n\t");
    m += "Message-ID: <" + hex(rng, 16) + "." + hex(rng, 8) + "@example.com>\r\nDate: " + date +
         "\r\nFrom: " + from + " <" + fromAddr + ">\r\nTo: " + to + " <" + toAddr +
         ">\r\nSubject: " + words.sentence() + "\r\nMIME-Version: 1.0\r\n";
    uint32_t kind = rng.below(100);
    if (kind < 25) {  // newsletter
      m += "Content-Type: text/html; charset=utf-8\r\nContent-Transfer-Encoding: "
           "quoted-printable\r\n\r\n" + templates[rng.below(6)];
      for (int k = rng.between(3, 8); k > 0; --k)
        m += "<tr><td class=3D\"c" + std::to_string(rng.below(30)) + "\"><h2>" + words.sentence() +
             "</h2><p>" + words.paragraphs(300, "=\r\n") + "</p></td></tr>=\r\n";
      m += "</table></body></html>\r\n";
    } else {
      std::string body = "Hi " + std::string(kFirst[rng.below(20)]) + ",\r\n\r\n" +
                         words.paragraphs(static_cast<size_t>(rng.between(200, 3000)), "\r\n") +
                         "Best regards,\r\n" + from + "\r\n";
      if (!lastBody.empty() && rng.chance(0.5)) {
        body += "\r\nOn " + std::string(date) + ", someone wrote:\r\n";
        size_t start = 0;
        for (int line = 0; line < 60 && start < lastBody.size(); ++line) {
          size_t e = lastBody.find("\r\n", start);
          if (e == std::string::npos) e = lastBody.size();
          body += "> " + lastBody.substr(start, e - start) + "\r\n";
          start = e + 2;
        }
      }
      lastBody = body;
      if (kind < 45) {
        std::string boundary = "------------" + hex(rng, 24);
        m += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n\r\n--" + boundary +
             "\r\nContent-Type: text/plain; charset=utf-8\r\n\r\n" + body + "\r\n--" + boundary +
             "\r\nContent-Type: application/pdf; name=\"" + words.word() +
             ".pdf\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" +
             base64Lines(rng, static_cast<size_t>(rng.between(2000, 40000)), "\r\n") + "--" +
             boundary + "--\r\n";
      } else {
        m += "Content-Type: text/plain; charset=utf-8\r\n\r\n" + body;
      }
    }
    m += "\r\n";
    d.insert(d.end(), m.begin(), m.end());
  }
}

}  // namespace

const char* kindName(DataKind kind) {
  switch (kind) {
    case DataKind::Text: return "text";
    case DataKind::Binary: return "binary";
    case DataKind::Random: return "random";
    case DataKind::Zeros: return "zeros";
    case DataKind::Mailbox: return "mailbox";
  }
  return "?";
}

std::vector<uint8_t> makeData(DataKind kind, size_t bytes, uint64_t seed) {
  Rng rng(seed * 0x100 + static_cast<uint64_t>(kind));
  std::vector<uint8_t> d;
  d.reserve(bytes + 70000);
  switch (kind) {
    case DataKind::Text: appendText(d, rng, bytes); break;
    case DataKind::Binary: appendBinary(d, rng, bytes); break;
    case DataKind::Random:
      while (d.size() < bytes) d.push_back(static_cast<uint8_t>(rng.next()));
      break;
    case DataKind::Zeros: d.resize(bytes); break;
    case DataKind::Mailbox: appendMailbox(d, rng, bytes); break;
  }
  d.resize(bytes);
  return d;
}

}  // namespace zq::bench
