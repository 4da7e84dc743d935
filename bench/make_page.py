#!/usr/bin/env python3
"""Writes the benchmark pages, deterministically (fixed seed); they are never committed.

  make_page.py mixed PATH SIZE_MB ADDRESSES   GBK text of ordinary words (Chinese and English),
                                              with ADDRESSES e-mail addresses spread through it
  make_page.py linear PATH SIZE_MB            "a." repeated, then one address at the end
"""
import random
import sys

WORDS_EN = [b"the", b"quick", b"brown", b"fox", b"jumps", b"over", b"lazy", b"dog", b"contact",
            b"page", b"price", b"order", b"2026", b"shop", b"news", b"about", b"home", b"-", b"a.b",
            b"x_y", b"mail", b"at", b"dot", b"www.example.com", b"user@", b"@host", b"v1.2.3"]
WORDS_ZH = [w.encode("gbk") for w in
            ["联系", "我们", "邮箱", "地址", "电话", "公司", "产品", "价格", "新闻", "关于", "首页", "客服"]]


def filler(rng, size):
    """About `size` bytes of words separated by blanks and line breaks."""
    words = WORDS_EN + WORDS_ZH
    block = []
    total = 0
    while total < 65536:
        w = rng.choice(words)
        sep = b"\r\n" if rng.random() < 0.05 else b" "
        block.append(w + sep)
        total += len(w) + len(sep)
    block = b"".join(block)
    reps = size // len(block) + 1
    return (block * reps)[:size]


def address(rng, i):
    local = rng.choice([b"info", b"sales", b"a.b", b"first-last", b"x+tag", b"Admin"]) + str(i).encode()
    host = rng.choice([b"example.com", b"mail.example.org", b"shop-1.example.co.uk", b"EXAMPLE.NET"])
    return local + b"@" + host


def mixed(path, size_mb, count):
    rng = random.Random(936)
    size = size_mb * 1024 * 1024
    base = filler(rng, max(size - count * 34, 0))  # leave room for the addresses
    step = len(base) // (count + 1)
    parts = []
    pos = 0
    for i in range(count):
        cut = base.rfind(b" ", pos, pos + step) if step > 1 else -1
        if cut <= pos:
            cut = pos + step
        parts.append(base[pos:cut])
        parts.append(b" " + address(rng, i) + b" ")
        pos = cut
    parts.append(base[pos:])
    with open(path, "wb") as f:
        f.write(b"".join(parts))


def linear(path, size_mb):
    size = size_mb * 1024 * 1024
    with open(path, "wb") as f:
        f.write(b"a." * (size // 2) + b" last@example.com\n")


if __name__ == "__main__":
    kind, path = sys.argv[1], sys.argv[2]
    if kind == "mixed":
        mixed(path, int(sys.argv[3]), int(sys.argv[4]))
    elif kind == "linear":
        linear(path, int(sys.argv[3]))
    else:
        sys.exit("usage: make_page.py mixed PATH SIZE_MB ADDRESSES | linear PATH SIZE_MB")
