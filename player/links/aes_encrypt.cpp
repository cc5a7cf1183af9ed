#include "player/links/aes_encrypt.h"

#include <algorithm>

namespace nivra::player {
namespace {

using State = std::array<std::uint8_t, 16>;  // row by row: state[row * 4 + column]

void addRoundKey(State& state, const TAes& keyed, int round) {
  for (int c = 0; c < 4; ++c) {
    const AesWord& word = keyed.RoundKeys()[round * 4 + c];
    for (int r = 0; r < 4; ++r) state[r * 4 + c] ^= word[r];
  }
}

void subBytes(State& state) {
  for (auto& b : state) b = aes_detail::SBox()[b];
}

// Row r moves r columns to the left.
void shiftRows(State& state) {
  for (int r = 1; r < 4; ++r) {
    std::uint8_t* row = &state[r * 4];
    std::rotate(row, row + r, row + 4);
  }
}

void mixColumns(State& state) {
  using aes_detail::xtime;
  for (int c = 0; c < 4; ++c) {
    const std::uint8_t a0 = state[c], a1 = state[4 + c], a2 = state[8 + c], a3 = state[12 + c];
    const std::uint8_t all = a0 ^ a1 ^ a2 ^ a3;
    // 2a ^ 3b ^ c ^ d == a ^ all ^ 2(a ^ b), and so on round the column.
    state[c] = a0 ^ all ^ xtime(a0 ^ a1);
    state[4 + c] = a1 ^ all ^ xtime(a1 ^ a2);
    state[8 + c] = a2 ^ all ^ xtime(a2 ^ a3);
    state[12 + c] = a3 ^ all ^ xtime(a3 ^ a0);
  }
}

}  // namespace

AesBlock AesEncryptBlock(const TAes& keyed, const AesBlock& input) {
  State state;
  for (int i = 0; i < 16; ++i) state[(i % 4) * 4 + i / 4] = input[i];
  addRoundKey(state, keyed, 0);
  for (int round = 1; round < keyed.Rounds(); ++round) {
    subBytes(state);
    shiftRows(state);
    mixColumns(state);
    addRoundKey(state, keyed, round);
  }
  subBytes(state);
  shiftRows(state);
  addRoundKey(state, keyed, keyed.Rounds());
  AesBlock output;
  for (int i = 0; i < 16; ++i) output[i] = state[(i % 4) * 4 + i / 4];
  return output;
}

}  // namespace nivra::player
