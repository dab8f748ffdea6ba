# The level of a 24-bit WAV's first channel over its last three quarters
# but a fortieth, in dB relative to a -18 dBFS sine; with a second WAV, exits
# 1 unless both hold the same frames past the first second.
import math, sys, wave


def frames(path):
    w = wave.open(path)
    return w.readframes(w.getnframes()), w.getnchannels() * w.getsampwidth(), w.getsampwidth(), w.getframerate()


raw, frame, width, rate = frames(sys.argv[1])
if len(sys.argv) > 2:
    other = frames(sys.argv[2])[0]
    sys.exit(0 if raw[rate * frame:] == other[rate * frame:] else 1)
n = len(raw) // frame


def sample(i):
    at = i * frame
    return int.from_bytes(raw[at:at + width], "little", signed=True) / float(1 << (8 * width - 1))


start, end = n // 4, n - n // 40
rms = math.sqrt(sum(sample(i) ** 2 for i in range(start, end)) / (end - start))
print("%.2f" % (20 * math.log10(rms * math.sqrt(2) / 10 ** (-18 / 20))))
