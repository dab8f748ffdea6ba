# The level of a 24-bit WAV's first channel over its last three seconds but
# a tenth, in dB relative to a -18 dBFS sine.
import math, sys, wave
w = wave.open(sys.argv[1])
n, channels, width = w.getnframes(), w.getnchannels(), w.getsampwidth()
raw = w.readframes(n)
def sample(i):
    at = i * channels * width
    return int.from_bytes(raw[at:at + width], "little", signed=True) / float(1 << (8 * width - 1))
start, end = n // 4, n - n // 40
rms = math.sqrt(sum(sample(i) ** 2 for i in range(start, end)) / (end - start))
print("%.2f" % (20 * math.log10(rms * math.sqrt(2) / 10 ** (-18 / 20))))
