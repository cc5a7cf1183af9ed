#pragma once
// The AES forward cipher, for producing test links only: the product decrypts and never links
// this file (it lives in nivra_player_encoder).

#include "player/links/aes.h"

namespace nivra::player {

// The FIPS-197 cipher of one block with the round keys of `keyed` (key size and key set there,
// so the key is formed from text exactly as for decryption). Same byte order as DecryptBlock.
AesBlock AesEncryptBlock(const TAes& keyed, const AesBlock& input);

}  // namespace nivra::player
