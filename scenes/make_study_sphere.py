# Writes a small study-sphere image: a lit, painted-looking ball on a neutral ground.
import math, struct, zlib, sys
W = H = 128
def png(path, rows):
    raw = b''.join(b'\x00' + bytes(r) for r in rows)
    def chunk(t, d):
        c = struct.pack('>I', len(d)) + t + d
        return c + struct.pack('>I', zlib.crc32(t + d) & 0xffffffff)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', W, H, 8, 2, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))
L = (-0.55, 0.6, 0.58); n = math.sqrt(sum(c*c for c in L)); L = tuple(c/n for c in L)
rows = []
for j in range(H):
    row = []
    for i in range(W):
        x = (i + 0.5) / W * 2 - 1; y = 1 - (j + 0.5) / H * 2
        r2 = x*x + y*y
        if r2 > 1:
            col = (0.18, 0.16, 0.2)
        else:
            z = math.sqrt(1 - r2)
            d = max(0.0, x*L[0] + y*L[1] + z*L[2])
            # warm key, cool bounce from below-right, a painterly terminator band
            band = 0.5 + 0.5 * math.tanh((d - 0.25) * 6)
            rim = max(0.0, 1 - z) ** 3
            bounce = max(0.0, -y * 0.6 + x * 0.4) * 0.35
            highlight = max(0.0, 2*d*z - L[2]) ** 30 if d > 0 else 0
            col = (0.12 + 0.85*band*1.0 + 0.05*bounce + 0.6*highlight + 0.25*rim,
                   0.10 + 0.62*band + 0.12*bounce + 0.6*highlight + 0.2*rim,
                   0.16 + 0.35*band + 0.45*bounce + 0.6*highlight + 0.45*rim)
        row += [max(0, min(255, int(c * 255 + 0.5))) for c in col]
    rows.append(row)
if len(sys.argv) != 2 or sys.argv[1].startswith('-'):
    sys.exit('usage: make_study_sphere.py OUT.png  (writes the 128x128 study-sphere image)')
png(sys.argv[1], rows)
