#!/usr/bin/python3
"""Writes the interface sounds as 16-bit mono WAVE files: a soft click for a press, a softer release,
and a gentle falling two-note "no" for a refused entry. Quiet on purpose (peaks well below full scale)
and deterministic, so that running it again gives the same bytes.

usage: make_sounds.py <output folder>
"""
import math
import struct
import sys
import wave

RATE = 22050


def envelope(t, attack, decay):
    """A fast linear rise, then an exponential fall."""
    if t < attack:
        return t / attack
    return math.exp(-(t - attack) / decay)


def click(frequency, length, attack, decay, peak, noise):
    """A short tone burst with a touch of filtered noise at its start: what a soft key sounds like."""
    samples = []
    seed = 12345
    smoothed = 0.0
    for i in range(int(RATE * length)):
        t = i / RATE
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        smoothed += 0.35 * ((seed / 0x3FFFFFFF - 1.0) - smoothed)  # low-passed, so it thuds, not hisses
        tone = math.sin(2 * math.pi * frequency * t) + 0.3 * math.sin(2 * math.pi * frequency * 1.5 * t)
        burst = noise * smoothed * math.exp(-t / 0.002)
        samples.append(peak * envelope(t, attack, decay) * (tone / 1.3 + burst))
    return fade_out(samples, 0.004)


def note(frequency, length, peak):
    """A round, bell-like note: the fundamental with a little of the octave, soft at both ends."""
    samples = []
    for i in range(int(RATE * length)):
        t = i / RATE
        tone = math.sin(2 * math.pi * frequency * t) + 0.25 * math.sin(4 * math.pi * frequency * t)
        samples.append(peak * envelope(t, 0.008, length / 3.5) * tone / 1.25)
    return fade_out(samples, 0.010)


def fade_out(samples, seconds):
    """Brings the last few milliseconds down to silence, so that no sound ends in a click of its own."""
    count = min(len(samples), int(RATE * seconds))
    for k in range(count):
        samples[len(samples) - count + k] *= 1.0 - (k + 1) / count
    return samples


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def write(path, samples):
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(b"".join(struct.pack("<h", int(round(s * 32767))) for s in samples))


def main():
    folder = sys.argv[1]
    write(f"{folder}/click.wav", click(1800.0, 0.030, 0.0008, 0.006, 0.22, 0.5))
    write(f"{folder}/unclick.wav", click(1300.0, 0.025, 0.0008, 0.005, 0.14, 0.3))
    # A falling minor third, E5 to C#5: the tone of "uh-uh", not of an alarm.
    write(f"{folder}/baduser.wav",
          note(659.26, 0.13, 0.25) + silence(0.03) + note(554.37, 0.20, 0.25))


if __name__ == "__main__":
    main()
