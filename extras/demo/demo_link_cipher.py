"""Private links without nivra-tool: the record text in 16-bit characters behind a 16-bit length,
cut into 16-byte blocks and each block encrypted alone with AES-128, written as hexadecimal
digits after "Nivra://". Used only when nivra-tool is not built."""

KEY = "KQZTW20050917"


def _sbox():
    box, p, q = [0] * 256, 1, 1
    while True:  # walks the multiplicative group with generator 3
        p ^= ((p << 1) ^ (0x1B if p & 0x80 else 0)) & 0xFF
        q ^= q << 1
        q ^= q << 2
        q ^= q << 4
        q &= 0xFF
        if q & 0x80:
            q ^= 0x09
        x = q ^ (q << 1 | q >> 7) ^ (q << 2 | q >> 6) ^ (q << 3 | q >> 5) ^ (q << 4 | q >> 4)
        box[p] = (x ^ 0x63) & 0xFF
        if p == 1:
            break
    box[0] = 0x63
    return box


SBOX = _sbox()


def _xtime(b):
    return ((b << 1) ^ (0x1B if b & 0x80 else 0)) & 0xFF


def _round_keys(key):
    words = [list(key[i:i + 4]) for i in range(0, 16, 4)]
    rcon = 1
    for i in range(4, 44):
        w = list(words[i - 1])
        if i % 4 == 0:
            w = [SBOX[b] for b in w[1:] + w[:1]]
            w[0] ^= rcon
            rcon = _xtime(rcon)
        words.append([a ^ b for a, b in zip(words[i - 4], w)])
    return [sum(words[r * 4:r * 4 + 4], []) for r in range(11)]


def encrypt_block(block, keys):
    s = [b ^ k for b, k in zip(block, keys[0])]
    for r in range(1, 11):
        s = [SBOX[b] for b in s]
        s = [s[(i + 4 * (i % 4)) % 16] for i in range(16)]  # shift rows (column-major state)
        if r < 10:
            mixed = []
            for c in range(4):
                a = s[4 * c:4 * c + 4]
                t = a[0] ^ a[1] ^ a[2] ^ a[3]
                mixed += [a[i] ^ t ^ _xtime(a[i] ^ a[(i + 1) % 4]) for i in range(4)]
            s = mixed
        s = [b ^ k for b, k in zip(s, keys[r])]
    return bytes(s)


def encode_link(record):
    """The private link of a record text such as "video|name|0|http://…"."""
    units = record.encode("utf-16-le")
    length = len(units) // 2
    plain = bytes([length >> 8, length & 0xFF]) + units
    plain += bytes(-len(plain) % 16)
    keys = _round_keys(bytes(ord(c) & 0xFF for c in KEY).ljust(16, b"\0"))
    cipher = b"".join(encrypt_block(plain[i:i + 16], keys) for i in range(0, len(plain), 16))
    return "Nivra://" + cipher.hex().upper()
