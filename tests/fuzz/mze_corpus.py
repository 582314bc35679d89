# Writes the valid seed files of the .mze fuzzer, built field by field from the format (run from anywhere).
import os
OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "mze")
import struct
def i(v): return struct.pack('<i', v)
def d(v): return struct.pack('<d', v)
def s(t): t=t.encode(); return bytes([len(t)])+t
def w(v): return struct.pack('<H', v)
def header(cx, cy): return b''.join(i(v) for v in [746,1,250,0,125, cx,7499,1,cy,9499,1])
def grid(cx, cy, cells):
    b = d(1.0)+i(0)+s('')+i(4)+i(1)+i(cx)+i(cy)+i(2)+d(0.05)+i(15)+i(0)*3
    return b + b''.join(w(f)+w(p) for f,p in cells)
cells = [(0x8050,2),(0x8000,0xC),(0,4),(0,2),(0x8000,9),(0x8060,8)]
v1 = d(1.0)+i(0)+s('Box')+i(0x10)+i(1)+header(3,2)+i(42)+i(0)+i(0)*3+grid(3,2,cells)
def bmp():
    rows=b''
    for y in range(1,-1,-1):
        r=b''.join(bytes([0x40+x,0x30+y,0x20]) for x in range(3))
        rows+=r+b'\0'*3
    return b'BM'+i(54+len(rows))+w(0)+w(0)+i(54)+i(40)+i(3)+i(2)+w(1)+w(24)+i(0)+i(len(rows))+i(3780)+i(3780)+i(0)+i(0)+rows
cf = i(60)+i(0)+i(0)+i(0)+i(120)+i(0x102)+i(0xFF)+i(0)*5+w(0)+w(0)+i(0)+i(0)
lf = i(-167)+i(0)*3+i(400)+bytes(8)+b'Courier'+bytes(25)
assert len(cf)==60 and len(lf)==60
text = d(1.0)+s('NONE;')+i(2)+i(0)+b''.join(i(v) for v in [500,-300,3000,-900])+i(8)+i(17)+b''.join(i(v) for v in [60,30,300,20])+i(0)*2+i(0xFF)+i(4)+s('Start here')+i(60)+cf+i(60)+lf
pic = bmp()
image = d(1.0)+s('NONE;')+i(3)+i(0)+b''.join(i(v) for v in [0,0,1500,-1000])+i(8)+i(10)+b''.join(i(v) for v in [100,0,150,0])+i(0)*2+i(0)+i(1)+s('')+i(1)+bytes([128])+i(1)+i(len(pic))+pic
def picture(format_id, data, alpha=0, level=0):
    return d(1.0)+s('NONE;')+i(3)+i(0)+b''.join(i(v) for v in [0,0,1500,-1000])+i(8)+i(10)+b''.join(i(v) for v in [100,0,150,0])+i(0)*2+i(0)+i(3)+s('')+i(alpha)+bytes([level])+i(format_id)+i(len(data))+data
# A bilevel picture stored as PNM, which its writer cannot write again at one bit: it is saved as PNG.
pbm = b'P4\n4 2\n' + bytes([0xA0, 0x50])
def v2(objs, pts):
    b = d(2.0)+s('MZE')+i(0)+s('Box')+i(0x10)+i(1)+header(3,2)+i(42)+i(0)+i(1)+s('builtin:1')+i(0)+i(0)+i(0)*6+grid(3,2,cells)
    b += i(len(objs))+b''.join(objs)+i(len(pts))+b''.join(i(x)+i(y) for x,y in pts)+i(0)*24
    return b
open(OUT + '/v1_3x2.mze','wb').write(v1)
open(OUT + '/v2_3x2_objects.mze','wb').write(v2([text,image],[(1,0),(2,1)]))
open(OUT + '/v2_3x2_plain.mze','wb').write(v2([],[]))
open(OUT + '/v2_3x2_bilevel_pnm.mze','wb').write(v2([picture(14, pbm)],[]))
