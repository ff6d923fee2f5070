#!/usr/bin/env python3
# Writes assets/artwork/keyboard.svg and keyboard.pics: the keyboard help's scheme,
# the small keyboard and the help's close button.
import os
ARTE = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'assets', 'artwork')
def f(x): return ('%.2f'%x).rstrip('0').rstrip('.')
o=[]
w=o.append
w('''<?xml version="1.0" encoding="UTF-8"?>
<!-- The keyboard help: the scheme of the drum keys (323 x 137), the small keyboard
     that opens it (90 x 41) and its close button (25 x 25), all on the white help
     panels. Colours follow the kit: gold cymbals and hi-hat, red toms, blue snare,
     navy bass drum. -->
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"
     width="340" height="200" viewBox="0 0 340 200" font-family="DejaVu Sans">
  <defs>
    <linearGradient id="tampa" gradientUnits="objectBoundingBox" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#FFFFFF" stop-opacity="0.28"/>
      <stop offset="1" stop-color="#FFFFFF" stop-opacity="0"/>
    </linearGradient>
    <radialGradient id="bronze" gradientUnits="objectBoundingBox" cx="0.5" cy="0.5" r="0.5">
      <stop offset="0" stop-color="#FFF3CF"/>
      <stop offset="0.2" stop-color="#E7B95A"/>
      <stop offset="1" stop-color="#A8721F"/>
    </radialGradient>
  </defs>
  <rect width="340" height="200" fill="#FFFFFF"/>''')
cores={'p':('#C8922F','#A8721F'),'t':('#C4283F','#941A2C'),'c':('#3F68B6','#2C4F92'),'b':('#24355C','#16223E'),None:('#EEF1F6','#C9D1DE')}
grupo={'E':'p','R':'p','Y':'p','O':'p','K':'p','X':'p','D':'p','A':'c','S':'c','Z':'c','C':'t','F':'t','V':'t','G':'t','B':'t','H':'t','N':'t','J':'t'}
def tecla(x,y,wd,ht,rot,g,fs=11):
    c,b=cores[g]
    w('  <rect x="%s" y="%s" width="%s" height="%s" rx="4" fill="%s"/>'%(f(x),f(y+1.5),f(wd),f(ht),b))
    w('  <rect x="%s" y="%s" width="%s" height="%s" rx="4" fill="%s"/>'%(f(x),f(y),f(wd),f(ht-1),c))
    w('  <rect x="%s" y="%s" width="%s" height="%s" rx="3.5" fill="url(#tampa)"/>'%(f(x+1),f(y+1),f(wd-2),f(ht/2)))
    if rot:
        w('  <text x="%s" y="%s" font-size="%s" font-weight="bold" fill="%s" text-anchor="middle">%s</text>'%(f(x+wd/2),f(y+ht/2+fs*0.36),f(fs),'#FFFFFF' if g else '#9AA5B8',rot))
K=22; G=3; X0=8
rows=[('QWERTYUIOP',0,6),('ASDFGHJKL',6,32),('ZXCVBNM',16,58)]
for letras,off,y in rows:
    for i,l in enumerate(letras):
        tecla(X0+off+i*(K+G),y,K,23,l,grupo.get(l))
# bottom row: Ctrl (hi-hat pedal), space (bass drum)
tecla(X0,84,34,23,'Ctrl','p',9)
tecla(X0+37,84,26,23,'',None)
tecla(X0+66,84,140,23,'','b')
tecla(X0+209,84,26,23,'',None)
# bass drum glyph on the space bar
w('  <g transform="translate(%s 95.5)">'%f(X0+66+70))
w('    <circle r="8" fill="none" stroke="#FFFFFF" stroke-width="1.6"/><circle r="3" fill="#FFFFFF" fill-opacity="0.8"/>')
w('  </g>')
# legend: which colour is which part of the kit, drawn as small pictures
def leg(x,g):
    c,b=cores[g]
    w('  <rect x="%s" y="117" width="14" height="14" rx="3" fill="%s"/>'%(f(x),c))
    cx=x+30
    if g=='p':
        w('  <ellipse cx="%s" cy="124" rx="11" ry="4" fill="url(#bronze)" stroke="#8A5A16" stroke-opacity="0.5" stroke-width="0.6"/><ellipse cx="%s" cy="123.5" rx="2.2" ry="1" fill="#F8E2A0"/>'%(f(cx),f(cx)))
    elif g=='t':
        w('  <path d="M%s,121 v6 a9,3.4 0 0 0 18,0 v-6 z" fill="#C4283F"/><ellipse cx="%s" cy="121" rx="9" ry="3.4" fill="#F4F5F3" stroke="#8C96A6" stroke-width="0.8"/>'%(f(cx-9),f(cx)))
    elif g=='c':
        w('  <path d="M%s,122 v4 a10,3.4 0 0 0 20,0 v-4 z" fill="#C9CFD8"/><ellipse cx="%s" cy="122" rx="10" ry="3.4" fill="#F4F5F3" stroke="#8C96A6" stroke-width="0.8"/>'%(f(cx-10),f(cx)))
    else:
        w('  <circle cx="%s" cy="124" r="7" fill="#F4F5F3" stroke="#B8283E" stroke-width="2"/>'%f(cx))
for i,g in enumerate(['p','t','c','b']):
    leg(X0+8+i*74,g)
# right edge: a small stick pair as an emblem
w('''  <g stroke-linecap="round" transform="translate(268 34)">
    <path d="M0,0 L36,44" stroke="#7B4A1E" stroke-width="5"/><path d="M0,0 L36,44" stroke="#DDA768" stroke-width="3.4"/>
    <path d="M36,0 L0,44" stroke="#7B4A1E" stroke-width="5"/><path d="M36,0 L0,44" stroke="#E8BB80" stroke-width="3.4"/>
    <circle cx="0" cy="0" r="2.6" fill="#F4DDB5"/><circle cx="36" cy="0" r="2.6" fill="#F4DDB5"/>
  </g>''')
# small keyboard (90 x 41) at (0,150)
w('  <g id="tecladoPequeno">')
w('    <rect x="4.5" y="153.5" width="81" height="33" rx="6" fill="#F4F6FA" stroke="#8C9AB3" stroke-width="1"/>')
small=[(8,157,'ppcppppppp'),(11,165,'cc.ttttt.'),(15,173,'pcttttt')]
m={'p':'#C8922F','t':'#C4283F','c':'#3F68B6','.':'#D5DBE6'}
for x0,y0,pat in small:
    for i,ch in enumerate(pat):
        w('    <rect x="%s" y="%s" width="6.4" height="6.2" rx="1.3" fill="%s"/>'%(f(x0+i*7.4),f(y0),m[ch]))
w('    <rect x="27" y="180.5" width="36" height="3.6" rx="1.5" fill="#24355C"/>')
w('  </g>')
# close button (25 x 25) at (100,150)
w('''  <g id="fechar">
    <circle cx="112.5" cy="162.5" r="11" fill="#E45747"/>
    <circle cx="112.5" cy="162.5" r="11" fill="none" stroke="#B53A2D" stroke-width="1"/>
    <path d="M108,158 l9,9 M117,158 l-9,9" stroke="#FFFFFF" stroke-width="2.4" stroke-linecap="round"/>
  </g>''')
w('</svg>')
open(os.path.join(ARTE, 'keyboard.svg'),'w').write('\n'.join(o)+'\n')
open(os.path.join(ARTE, 'keyboard.pics'),'w').write('''# The keyboard help pictures, cut from keyboard.svg.
imgTecladoEsquema      -   0,0,323,137
imgTecladoPequeno      -   0,150,90,41
btnFecharAjudaAtalhos  -   100,150,25,25
''')
