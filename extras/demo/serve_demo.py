#!/usr/bin/env python3
"""The demo servers on 127.0.0.1:
  catalogue server: the catalogue page /index.htm (posters, private links of every kind the
    program plays, an editor's-picks frame), video pages /v/*.html, catalogue documents
    /rjson/*.js with ETags, posters /posters/*.svg and media clips /media/* with byte ranges;
  display server: the pause and buffering pages (also under /ocx/), /left.xml and /right.xml,
    and the pop-up pages /ads/mini.html and /ads/right.html;
  ad server: UDP, answering heartbeats with the records of ads.json.
The clips are made once with gst-launch-1.0 into the cache folder, in the background on the first
start (the pages are served at once; a clip request waits until its clip is made). Port 0 picks a
free port; the addresses are printed one per line. Stops on Ctrl+C or SIGTERM.
"""

import argparse
import os
import signal
import sys
import threading

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import demo_ads  # noqa: E402
import demo_http  # noqa: E402
import demo_links  # noqa: E402
import demo_media  # noqa: E402
import demo_site  # noqa: E402

WWW = os.path.join(os.path.dirname(os.path.abspath(__file__)), "www")


def main():
    parser = argparse.ArgumentParser(description="Nivra demo servers on 127.0.0.1")
    parser.add_argument("--catalogue-port", type=int, default=8780)
    parser.add_argument("--display-port", type=int, default=8781)
    parser.add_argument("--ad-port", type=int, default=6570)
    parser.add_argument("--ads", default=demo_ads.DEFAULT_ADS, help="records of the ad server")
    parser.add_argument("--cache", default=demo_media.default_cache_folder(),
                        help="folder of the generated clips (default ~/.cache/nivra-demo)")
    parser.add_argument("--tool", help="nivra-tool that encodes the private links")
    parser.add_argument("--clip-seconds", type=int,
                        help="make every clip this long (quick clips for tests)")
    args = parser.parse_args()

    media = demo_media.MediaCache(args.cache, demo_media.clip_recipes(args.clip_seconds))
    catalogue = demo_http.Content({}, None, media)
    display = demo_http.Content({}, os.path.join(WWW, "display"), aliases=(("/ocx", ""),))
    servers = [demo_http.start(args.catalogue_port, catalogue),
               demo_http.start(args.display_port, display)]
    cat_base = "http://127.0.0.1:%d" % servers[0].server_port
    disp_base = "http://127.0.0.1:%d" % servers[1].server_port

    links = demo_links.LinkEncoder(demo_links.find_tool(args.tool),
                                   os.path.join(args.cache, "links.json"))
    site = demo_site.Site(links, cat_base, disp_base, media.recipes,
                          demo_media.segment_lengths_ms(args.clip_seconds))
    links.save()
    catalogue.documents.update(site.catalogue)
    display.documents.update(site.display)
    catalogue.ready.set()
    display.ready.set()
    ads = demo_ads.AdServer(args.ad_port, demo_ads.load_ads(args.ads, disp_base)).start()

    making = media.start()
    print("catalogue %s/index.htm" % cat_base, flush=True)
    print("display   %s/" % disp_base, flush=True)
    print("ads       udp 127.0.0.1:%d" % ads.port, flush=True)
    if making:
        sys.stderr.write("demo media: making %d clips in %s\n" % (len(making), args.cache))

    stop = threading.Event()
    signal.signal(signal.SIGTERM, lambda *_: stop.set())
    signal.signal(signal.SIGINT, lambda *_: stop.set())
    stop.wait()
    media.stop()
    for s in servers:
        s.shutdown()
    ads.close()


if __name__ == "__main__":
    main()
