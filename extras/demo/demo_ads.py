"""The demo ad server: UDP on 127.0.0.1, answering heartbeats with the records of a JSON file.

Datagrams are little-endian with fixed sizes:
  heartbeat (12 bytes): type 0x0501, 1, mini record id, right record id;
  mini reply (538 bytes): type 0x0581, 2 unused bytes, the 534-byte mini record;
  right reply (534 bytes): type 0x0582, 2 unused bytes, the 530-byte right record.
Records: id, width, height (4 bytes each), the page address (512 bytes, NUL-padded), then
  mini: per-day maximum, count refund, mini gap, cross gap, tray delay (2 bytes each);
  right: display time in ms (4 bytes), start delay (2 bytes).

A heartbeat is answered with the mini record when its id is newer than the one the client holds,
and with the first right record whose id is newer than the client's. Anything else is ignored.

Run alone: demo_ads.py [--port 6570] [--display http://127.0.0.1:8781] [ADS.json], or
demo_ads.py --dump FOLDER [ADS.json] to write both replies as files (for tests).
"""

import argparse
import json
import os
import socket
import struct
import sys
import threading

HEARTBEAT = struct.Struct("<HHII")
HEARTBEAT_TYPE, MINI_REPLY_TYPE, RIGHT_REPLY_TYPE = 0x0501, 0x0581, 0x0582
HEAD = struct.Struct("<Iii512s")
MINI_TAIL = struct.Struct("<HHHHH")
RIGHT_TAIL = struct.Struct("<iH")
MINI_RECORD_SIZE = HEAD.size + MINI_TAIL.size    # 534
RIGHT_RECORD_SIZE = HEAD.size + RIGHT_TAIL.size  # 530
DEFAULT_ADS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "ads.json")


def _url(text):
    data = text.encode("utf-8")
    if len(data) > 512:
        raise ValueError("page address longer than 512 bytes: %s" % text)
    return data


def encode_mini_record(r):
    return HEAD.pack(r["id"], r["width"], r["height"], _url(r["url"])) + MINI_TAIL.pack(
        r["maxPerDay"], r["countRefund"], r["miniGap"], r["crossGap"], r["trayDelay"])


def encode_right_record(r):
    return HEAD.pack(r["id"], r["width"], r["height"], _url(r["url"])) + RIGHT_TAIL.pack(
        r["showTime"], r["startDelay"])


def mini_reply(record):
    return struct.pack("<HH", MINI_REPLY_TYPE, 0) + encode_mini_record(record)


def right_reply(record):
    return struct.pack("<HH", RIGHT_REPLY_TYPE, 0) + encode_right_record(record)


def load_ads(path, display_base):
    """The records of the JSON file; "{display}" in an address becomes the display server's base
    address."""
    with open(path, encoding="utf-8") as f:
        ads = json.load(f)
    for record in [ads.get("mini")] + ads.get("right", []):
        if record:
            record["url"] = record["url"].replace("{display}", display_base.rstrip("/"))
    return ads


def replies_to(datagram, ads):
    """The reply datagrams for one received datagram (none unless it is a heartbeat)."""
    if len(datagram) != HEARTBEAT.size:
        return []
    kind, _, mini_id, right_id = HEARTBEAT.unpack(datagram)
    if kind != HEARTBEAT_TYPE:
        return []
    out = []
    mini = ads.get("mini")
    if mini and mini["id"] > mini_id:
        out.append(mini_reply(mini))
    newer = [r for r in ads.get("right", []) if r["id"] > right_id]
    if newer:
        out.append(right_reply(min(newer, key=lambda r: r["id"])))
    return out


class AdServer:
    def __init__(self, port, ads):
        self.ads = ads
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind(("127.0.0.1", port))
        self.port = self.sock.getsockname()[1]

    def start(self):
        threading.Thread(target=self._serve, daemon=True).start()
        return self

    def _serve(self):
        while True:
            try:
                datagram, peer = self.sock.recvfrom(2048)
            except OSError:
                return  # closed
            replies = replies_to(datagram, self.ads)
            ids = HEARTBEAT.unpack(datagram)[2:] if len(datagram) == HEARTBEAT.size else ()
            sys.stderr.write("demo ads: %d bytes from %s:%d%s, %d replies\n"
                             % (len(datagram), peer[0], peer[1],
                                " (held ids %d, %d)" % ids if ids else "", len(replies)))
            for reply in replies:
                self.sock.sendto(reply, peer)

    def close(self):
        self.sock.close()


def main():
    parser = argparse.ArgumentParser(description="Nivra demo ad server (UDP on 127.0.0.1)")
    parser.add_argument("ads", nargs="?", default=DEFAULT_ADS)
    parser.add_argument("--port", type=int, default=6570)
    parser.add_argument("--display", default="http://127.0.0.1:8781")
    parser.add_argument("--dump", metavar="FOLDER",
                        help="write mini.reply and right.reply (the first right record) and exit")
    args = parser.parse_args()
    ads = load_ads(args.ads, args.display)
    if args.dump:
        os.makedirs(args.dump, exist_ok=True)
        with open(os.path.join(args.dump, "mini.reply"), "wb") as f:
            f.write(mini_reply(ads["mini"]))
        with open(os.path.join(args.dump, "right.reply"), "wb") as f:
            f.write(right_reply(ads["right"][0]))
        return
    server = AdServer(args.port, ads).start()
    print("ads       udp 127.0.0.1:%d" % server.port, flush=True)
    threading.Event().wait()


if __name__ == "__main__":
    main()
