# The suite's WAV files, float or integer, by command:
#   level FILE         the first channel's level over its last three quarters
#                      but a fortieth, in dB relative to a -18 dBFS sine
#   same FILE OTHER    exits 1 unless both hold the same frames past the first second
#   peak FILE          the frame where the first channel's magnitude peaks
#   impulse FILE AT    silences the file but for a sample of 0.5 at frame AT
import math, struct, sys

FLOAT = 3


def parse(path):
    data = bytearray(open(path, "rb").read())
    at, fmt, body = 12, None, None
    while at + 8 <= len(data):
        chunk, size = data[at:at + 4], struct.unpack_from("<I", data, at + 4)[0]
        if chunk == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", data, at + 8)
        elif chunk == b"data":
            body = (at + 8, min(size, len(data) - at - 8))
        at += 8 + size + (size & 1)
    tag, channels, rate, _, frame, bits = fmt
    return data, tag, rate, frame, bits // 8, body


def first_channel(path):
    data, tag, rate, frame, width, (start, size) = parse(path)
    if tag == FLOAT:
        return [struct.unpack_from("<f", data, at)[0] for at in range(start, start + size - frame + 1, frame)], rate
    scale = float(1 << (8 * width - 1))
    return [int.from_bytes(data[at:at + width], "little", signed=True) / scale
            for at in range(start, start + size - frame + 1, frame)], rate


command, path = sys.argv[1], sys.argv[2]
if command == "same":
    def past_first_second(p):
        data, _, rate, frame, _, (start, size) = parse(p)
        return data[start + rate * frame:start + size]
    sys.exit(0 if past_first_second(path) == past_first_second(sys.argv[3]) else 1)
if command == "level":
    samples, _ = first_channel(path)
    start, end = len(samples) // 4, len(samples) - len(samples) // 40
    rms = math.sqrt(sum(s * s for s in samples[start:end]) / (end - start))
    print("%.2f" % (20 * math.log10(rms * math.sqrt(2) / 10 ** (-18 / 20))))
elif command == "peak":
    samples, _ = first_channel(path)
    print(max(range(len(samples)), key=lambda i: abs(samples[i])))
elif command == "impulse":
    data, tag, _, frame, width, (start, size) = parse(path)
    data[start:start + size] = bytes(size)
    at = start + int(sys.argv[3]) * frame
    if tag == FLOAT:
        struct.pack_into("<f", data, at, 0.5)
    else:
        data[at:at + width] = (1 << (8 * width - 2)).to_bytes(width, "little", signed=True)
    open(path, "wb").write(data)
