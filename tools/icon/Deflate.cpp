#include "Deflate.h"

#include <algorithm>
#include <array>
#include <utility>

namespace brindlework::icon {
namespace {

constexpr int kWindow = 32768;
constexpr int kMinMatch = 3;
constexpr int kMaxMatch = 258;
constexpr int kHashBits = 15;
constexpr int kMaxChain = 4096;
// A match this long is taken without looking one byte further for a longer one: with 258,
// every match is checked against the next position's, as zlib's best level does.
constexpr int kGoodMatch = kMaxMatch;
// A three-byte match further back than this costs more bits than three literals.
constexpr int kFarForShortMatch = 4096;
constexpr std::size_t kTokensPerBlock = 32768;
constexpr int kEndOfBlock = 256;

constexpr std::array<std::uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                       15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                       67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                       2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                         4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                         9, 9, 10, 10, 11, 11, 12, 12, 13, 13};
// The order in which a block's header gives the code lengths of the code-length alphabet.
constexpr std::array<std::uint8_t, 19> kCodeLengthOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};

// A literal byte (distance 0) or a match of `value` bytes `distance` bytes back.
struct Token {
  std::uint16_t value;
  std::uint16_t distance;
};

template <std::size_t N>
int CodeFor(const std::array<std::uint16_t, N>& base, int value) {
  int code = static_cast<int>(N) - 1;
  while (base[static_cast<std::size_t>(code)] > value) --code;
  return code;
}

class BitWriter {
 public:
  // Deflate packs values from the least significant bit up.
  void Put(std::uint32_t value, int count) {
    bits_ |= static_cast<std::uint64_t>(value) << used_;
    used_ += count;
    while (used_ >= 8) {
      bytes_.push_back(static_cast<std::uint8_t>(bits_));
      bits_ >>= 8;
      used_ -= 8;
    }
  }
  // Huffman codes go most significant bit first.
  void PutCode(std::uint32_t code, int length) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
    Put(reversed, length);
  }
  void Flush() {
    if (used_ > 0) Put(0, 8 - used_);
  }
  std::vector<std::uint8_t>& Bytes() { return bytes_; }

 private:
  std::vector<std::uint8_t> bytes_;
  std::uint64_t bits_ = 0;
  int used_ = 0;
};

// Huffman code lengths for the frequencies, none longer than `limit`. The code is complete
// (zlib refuses incomplete codes), so at least two symbols must have a frequency.
std::vector<std::uint8_t> CodeLengths(const std::vector<std::uint32_t>& frequency, int limit) {
  std::vector<int> used;
  for (std::size_t s = 0; s < frequency.size(); ++s) {
    if (frequency[s] > 0) used.push_back(static_cast<int>(s));
  }
  std::stable_sort(used.begin(), used.end(),
                   [&](int a, int b) { return frequency[a] < frequency[b]; });

  // The tree by the two-queue method: leaves in order of weight, then internal nodes as made.
  struct Node {
    std::uint64_t weight;
    int left;
    int right;  // for a leaf: its symbol
  };
  std::vector<Node> nodes;
  for (int s : used) nodes.push_back({frequency[static_cast<std::size_t>(s)], -1, s});
  const std::size_t leaves = nodes.size();
  std::size_t nextLeaf = 0;
  std::size_t nextInner = leaves;
  auto takeLightest = [&] {
    const bool leaf = nextLeaf < leaves && (nextInner >= nodes.size() ||
                                            nodes[nextLeaf].weight <= nodes[nextInner].weight);
    return static_cast<int>(leaf ? nextLeaf++ : nextInner++);
  };
  for (std::size_t merges = 1; merges < leaves; ++merges) {
    const int a = takeLightest();
    const int b = takeLightest();
    nodes.push_back(
        {nodes[static_cast<std::size_t>(a)].weight + nodes[static_cast<std::size_t>(b)].weight, a,
         b});
  }

  std::vector<int> length(frequency.size(), 0);
  std::vector<std::pair<int, int>> stack{{static_cast<int>(nodes.size()) - 1, 0}};
  while (!stack.empty()) {
    const auto [index, depth] = stack.back();
    stack.pop_back();
    const Node& node = nodes[static_cast<std::size_t>(index)];
    if (node.left < 0) {
      length[static_cast<std::size_t>(node.right)] = std::max(depth, 1);
    } else {
      stack.push_back({node.left, depth + 1});
      stack.push_back({node.right, depth + 1});
    }
  }

  // Over the limit: cut the long codes to it, then lengthen the rarest shorter codes until the
  // lengths fit (Kraft sum at most 1), then shorten codes while room is left (sum exactly 1).
  // Units of the sum: 2^-limit.
  const std::uint64_t full = std::uint64_t{1} << limit;
  std::uint64_t sum = 0;
  for (int& l : length) {
    if (l > limit) l = limit;
    if (l > 0) sum += std::uint64_t{1} << (limit - l);
  }
  while (sum > full) {
    int pick = -1;
    for (int s : used) {
      const int l = length[static_cast<std::size_t>(s)];
      if (l < limit && (pick < 0 || l > length[static_cast<std::size_t>(pick)])) pick = s;
    }
    auto& l = length[static_cast<std::size_t>(pick)];
    sum -= std::uint64_t{1} << (limit - l - 1);
    ++l;
  }
  while (sum < full && used.size() > 1) {
    int pick = -1;
    for (auto it = used.rbegin(); it != used.rend(); ++it) {  // the most frequent first
      const int l = length[static_cast<std::size_t>(*it)];
      if (l > 1 && (std::uint64_t{1} << (limit - l)) <= full - sum &&
          (pick < 0 || l > length[static_cast<std::size_t>(pick)])) {
        pick = *it;
      }
    }
    auto& l = length[static_cast<std::size_t>(pick)];
    sum += std::uint64_t{1} << (limit - l);
    --l;
  }
  return {length.begin(), length.end()};
}

// Canonical codes for the lengths (RFC 1951, 3.2.2).
std::vector<std::uint32_t> Codes(const std::vector<std::uint8_t>& length) {
  std::array<std::uint32_t, 16> count{};
  for (std::uint8_t l : length) ++count[l];
  count[0] = 0;
  std::array<std::uint32_t, 16> next{};
  std::uint32_t code = 0;
  for (int bits = 1; bits < 16; ++bits) {
    code = (code + count[static_cast<std::size_t>(bits - 1)]) << 1;
    next[static_cast<std::size_t>(bits)] = code;
  }
  std::vector<std::uint32_t> codes(length.size(), 0);
  for (std::size_t s = 0; s < length.size(); ++s) {
    if (length[s] > 0) codes[s] = next[length[s]]++;
  }
  return codes;
}

// A code needs two symbols to be complete: give the first unused ones a token weight.
void AtLeastTwo(std::vector<std::uint32_t>& frequency) {
  auto used = std::count_if(frequency.begin(), frequency.end(), [](auto f) { return f > 0; });
  for (auto& f : frequency) {
    if (used >= 2) break;
    if (f == 0) {
      f = 1;
      ++used;
    }
  }
}

// One run-length symbol of the code-length sequence: 0-15 a length, 16 repeat the previous,
// 17 and 18 runs of zeros; `extra` is the count in the symbol's extra bits.
struct LengthSymbol {
  std::uint8_t symbol;
  std::uint8_t extra;
};

std::vector<LengthSymbol> RunLengths(const std::vector<std::uint8_t>& lengths) {
  std::vector<LengthSymbol> out;
  for (std::size_t i = 0; i < lengths.size();) {
    const std::uint8_t value = lengths[i];
    std::size_t run = 1;
    while (i + run < lengths.size() && lengths[i + run] == value) ++run;
    i += run;
    if (value == 0) {
      for (; run >= 11; run -= std::min<std::size_t>(run, 138)) {
        out.push_back({18, static_cast<std::uint8_t>(std::min<std::size_t>(run, 138) - 11)});
      }
      if (run >= 3) {
        out.push_back({17, static_cast<std::uint8_t>(run - 3)});
        run = 0;
      }
    } else {
      out.push_back({value, 0});
      --run;
      for (; run >= 3; run -= std::min<std::size_t>(run, 6)) {
        out.push_back({16, static_cast<std::uint8_t>(std::min<std::size_t>(run, 6) - 3)});
      }
    }
    for (; run > 0; --run) out.push_back({value, 0});
  }
  return out;
}

void WriteBlock(BitWriter& out, std::span<const Token> tokens, bool last) {
  std::vector<std::uint32_t> literalFrequency(286, 0);
  std::vector<std::uint32_t> distanceFrequency(30, 0);
  for (const Token& token : tokens) {
    if (token.distance == 0) {
      ++literalFrequency[token.value];
    } else {
      ++literalFrequency[static_cast<std::size_t>(257 + CodeFor(kLengthBase, token.value))];
      ++distanceFrequency[static_cast<std::size_t>(CodeFor(kDistanceBase, token.distance))];
    }
  }
  literalFrequency[kEndOfBlock] = 1;
  AtLeastTwo(literalFrequency);
  AtLeastTwo(distanceFrequency);
  const auto literalLengths = CodeLengths(literalFrequency, 15);
  const auto distanceLengths = CodeLengths(distanceFrequency, 15);
  const auto literalCodes = Codes(literalLengths);
  const auto distanceCodes = Codes(distanceLengths);

  std::size_t literalCount = 286;
  while (literalCount > 257 && literalLengths[literalCount - 1] == 0) --literalCount;
  std::size_t distanceCount = 30;
  while (distanceCount > 1 && distanceLengths[distanceCount - 1] == 0) --distanceCount;
  std::vector<std::uint8_t> allLengths(literalLengths.begin(),
                                       literalLengths.begin() + static_cast<long>(literalCount));
  allLengths.insert(allLengths.end(), distanceLengths.begin(),
                    distanceLengths.begin() + static_cast<long>(distanceCount));
  const auto runs = RunLengths(allLengths);
  std::vector<std::uint32_t> lengthFrequency(19, 0);
  for (const auto& run : runs) ++lengthFrequency[run.symbol];
  AtLeastTwo(lengthFrequency);
  const auto lengthLengths = CodeLengths(lengthFrequency, 7);
  const auto lengthCodes = Codes(lengthLengths);
  std::size_t lengthCount = 19;
  while (lengthCount > 4 && lengthLengths[kCodeLengthOrder[lengthCount - 1]] == 0) --lengthCount;

  out.Put(last ? 1 : 0, 1);
  out.Put(2, 2);  // dynamic Huffman codes
  out.Put(static_cast<std::uint32_t>(literalCount - 257), 5);
  out.Put(static_cast<std::uint32_t>(distanceCount - 1), 5);
  out.Put(static_cast<std::uint32_t>(lengthCount - 4), 4);
  for (std::size_t i = 0; i < lengthCount; ++i) out.Put(lengthLengths[kCodeLengthOrder[i]], 3);
  for (const auto& run : runs) {
    out.PutCode(lengthCodes[run.symbol], lengthLengths[run.symbol]);
    if (run.symbol == 16) out.Put(run.extra, 2);
    if (run.symbol == 17) out.Put(run.extra, 3);
    if (run.symbol == 18) out.Put(run.extra, 7);
  }

  for (const Token& token : tokens) {
    if (token.distance == 0) {
      out.PutCode(literalCodes[token.value], literalLengths[token.value]);
      continue;
    }
    const auto length = static_cast<std::size_t>(CodeFor(kLengthBase, token.value));
    out.PutCode(literalCodes[257 + length], literalLengths[257 + length]);
    out.Put(static_cast<std::uint32_t>(token.value - kLengthBase[length]), kLengthExtra[length]);
    const auto distance = static_cast<std::size_t>(CodeFor(kDistanceBase, token.distance));
    out.PutCode(distanceCodes[distance], distanceLengths[distance]);
    out.Put(static_cast<std::uint32_t>(token.distance - kDistanceBase[distance]),
            kDistanceExtra[distance]);
  }
  out.PutCode(literalCodes[kEndOfBlock], literalLengths[kEndOfBlock]);
}

// LZ77 over a 32 KB window with hash chains and one step of lazy matching.
class Matcher {
 public:
  explicit Matcher(std::span<const std::uint8_t> data)
      : data_(data), head_(std::size_t{1} << kHashBits, -1), previous_(kWindow, -1) {}

  std::vector<Token> Tokens() {
    std::vector<Token> tokens;
    const int size = static_cast<int>(data_.size());
    for (int i = 0; i < size;) {
      Match match = Find(i);
      if (match.length >= kMinMatch && match.length < kGoodMatch) {
        const Match next = Find(i + 1);
        if (next.length > match.length) match.length = 0;
      }
      if (match.length >= kMinMatch) {
        tokens.push_back(
            {static_cast<std::uint16_t>(match.length), static_cast<std::uint16_t>(match.distance)});
        i += match.length;
      } else {
        tokens.push_back({data_[static_cast<std::size_t>(i)], 0});
        ++i;
      }
    }
    return tokens;
  }

 private:
  struct Match {
    int length = 0;
    int distance = 0;
  };

  int Hash(int at) const {
    const auto* p = &data_[static_cast<std::size_t>(at)];
    return ((p[0] << 10) ^ (p[1] << 5) ^ p[2]) & ((1 << kHashBits) - 1);
  }

  // Every position before `at` goes into the chains before `at` is matched.
  void InsertUpTo(int at) {
    for (; inserted_ < at && inserted_ + kMinMatch <= static_cast<int>(data_.size()); ++inserted_) {
      auto& head = head_[static_cast<std::size_t>(Hash(inserted_))];
      previous_[static_cast<std::size_t>(inserted_ & (kWindow - 1))] = head;
      head = inserted_;
    }
  }

  Match Find(int at) {
    Match best;
    const int size = static_cast<int>(data_.size());
    if (at + kMinMatch > size) return best;
    InsertUpTo(at);
    const int longest = std::min(kMaxMatch, size - at);
    const std::uint8_t* here = &data_[static_cast<std::size_t>(at)];
    int candidate = head_[static_cast<std::size_t>(Hash(at))];
    for (int chain = 0; chain < kMaxChain && candidate >= 0 && at - candidate <= kWindow; ++chain) {
      const std::uint8_t* there = &data_[static_cast<std::size_t>(candidate)];
      if (there[best.length] == here[best.length]) {
        int length = 0;
        while (length < longest && there[length] == here[length]) ++length;
        if (length > best.length) {
          best = {length, at - candidate};
          if (length == longest) break;
        }
      }
      candidate = previous_[static_cast<std::size_t>(candidate & (kWindow - 1))];
    }
    if (best.length == kMinMatch && best.distance > kFarForShortMatch) best.length = 0;
    return best;
  }

  std::span<const std::uint8_t> data_;
  std::vector<int> head_;
  std::vector<int> previous_;
  int inserted_ = 0;
};

std::uint32_t Adler32(std::span<const std::uint8_t> data) {
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

}  // namespace

std::vector<std::uint8_t> ZlibCompress(std::span<const std::uint8_t> data) {
  BitWriter out;
  out.Put(0x78, 8);  // deflate, 32 KB window
  out.Put(0xDA, 8);  // maximum compression; makes the header a multiple of 31
  const std::vector<Token> tokens = Matcher(data).Tokens();
  std::size_t start = 0;
  do {
    const std::size_t count = std::min(kTokensPerBlock, tokens.size() - start);
    WriteBlock(out, std::span(tokens).subspan(start, count), start + count == tokens.size());
    start += count;
  } while (start < tokens.size());
  out.Flush();
  const std::uint32_t adler = Adler32(data);
  for (int shift = 24; shift >= 0; shift -= 8) out.Put((adler >> shift) & 0xFF, 8);
  return std::move(out.Bytes());
}

std::uint32_t Crc32(std::span<const std::uint8_t> data, std::uint32_t crc) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  crc = ~crc;
  for (std::uint8_t byte : data) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

}  // namespace brindlework::icon
