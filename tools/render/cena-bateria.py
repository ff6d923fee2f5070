#!/usr/bin/env python3
# Writes assets/artwork/kit.svg and kit.pics: the drum kit scene, its struck, stick,
# foot and key groups, and the list that cuts the kit's pictures from it. The SVG is
# what the build renders; run this after changing the kit's geometry (the sticks are
# fitted into their pictures' rectangles here; the cymbals are placed so that their
# rims meet the stick tips).
import math, os, random
ARTE = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', '..', 'assets', 'artwork')
random.seed(7)
out=[]
def w(s): out.append(s)
def f(x): return ('%.2f'%x).rstrip('0').rstrip('.')

W,H=626,414
w('''<?xml version="1.0" encoding="UTF-8"?>
<!-- The drum kit seen from the drummer's stool, 626 x 414, on a light studio floor
     that fades into the white panel around it. Every struck drum, cymbal, stick, foot
     and key is a group of this one scene: "X-on" groups start hidden and replace
     "X" when a state shows them, so pictures cut from any state line up with the
     kit at rest. A struck state changes pixels only inside its picture's rectangle. -->
<svg xmlns="http://www.w3.org/2000/svg" xmlns:xlink="http://www.w3.org/1999/xlink"
     width="626" height="414" viewBox="0 0 626 414" font-family="DejaVu Sans">
  <defs>''')

def gradiente(tipo,idn,geometria,*paradas):
    # one gradient of the defs: paradas are (offset, colour) or (offset, colour, opacity)
    w('    <%sGradient id="%s" %s>'%(tipo,idn,geometria))
    for p in paradas:
        w('      <stop offset="%s" stop-color="%s"%s/>'%(p[0],p[1],' stop-opacity="%s"'%p[2] if len(p)>2 else ''))
    w('    </%sGradient>'%tipo)

gradiente('radial','chao','gradientUnits="userSpaceOnUse" cx="313" cy="300" r="330" gradientTransform="translate(0 300) scale(1 0.36) translate(0 -300)"',
          ('0','#DDE2EA'), ('0.55','#E9EDF2'), ('1','#FFFFFF'))
gradiente('radial','sombra','gradientUnits="objectBoundingBox" cx="0.5" cy="0.5" r="0.5"',
          ('0','#1B2537','0.30'), ('0.6','#1B2537','0.12'), ('1','#1B2537','0'))
gradiente('linear','casco','gradientUnits="objectBoundingBox" x1="0" y1="0" x2="1" y2="0"',
          ('0','#4A0711'), ('0.16','#8E1628'), ('0.34','#CF3147'), ('0.42','#F0697B'), ('0.5','#C42A40'), ('0.78','#86142A'), ('1','#3E0610'))
gradiente('linear','cascoAco','gradientUnits="objectBoundingBox" x1="0" y1="0" x2="1" y2="0"',
          ('0','#6B7484'), ('0.3','#D9DEE6'), ('0.42','#FFFFFF'), ('0.6','#AEB6C3'), ('1','#5D6676'))
gradiente('linear','cromo','gradientUnits="objectBoundingBox" x1="0" y1="0" x2="1" y2="0"',
          ('0','#7D8798'), ('0.45','#F5F7FA'), ('1','#9AA4B3'))
gradiente('linear','cromoV','gradientUnits="objectBoundingBox" x1="0" y1="0" x2="0" y2="1"',
          ('0','#F5F7FA'), ('1','#8A94A4'))
gradiente('radial','pele','gradientUnits="objectBoundingBox" cx="0.38" cy="0.3" r="0.75"',
          ('0','#FFFFFF'), ('0.6','#F3F4F2'), ('1','#D9DCDF'))
gradiente('radial','brilhoPele','gradientUnits="objectBoundingBox" cx="0.5" cy="0.5" r="0.5"',
          ('0','#FFD470','0.95'), ('0.5','#FFE29A','0.6'), ('1','#FFEFC7','0'))
gradiente('radial','bronze','gradientUnits="objectBoundingBox" cx="0.5" cy="0.5" r="0.5"',
          ('0','#FFF3CF'), ('0.13','#F0C86E'), ('0.2','#D9A445'), ('0.7','#E4B45A'), ('0.9','#C38A2C'), ('1','#9A661B'))
gradiente('radial','bronzeAceso','gradientUnits="objectBoundingBox" cx="0.5" cy="0.5" r="0.5"',
          ('0','#FFFFFF'), ('0.15','#FFE7A3'), ('0.5','#FBD27A'), ('0.85','#F2BD55'), ('1','#C98F2E'))
gradiente('radial','halo','gradientUnits="objectBoundingBox" cx="0.5" cy="0.5" r="0.5"',
          ('0.72','#FFD56B','0'), ('0.86','#FFD56B','0.55'), ('1','#FFD56B','0'))
gradiente('linear','madeira','gradientUnits="objectBoundingBox" x1="0" y1="0" x2="0" y2="1"',
          ('0','#F5D6A8'), ('0.5','#DDA768'), ('1','#A86A32'))
gradiente('linear','tenis','gradientUnits="objectBoundingBox" x1="0" y1="0" x2="1" y2="0"',
          ('0','#1F2D4A'), ('0.45','#3E5A92'), ('1','#1B2842'))
gradiente('linear','tecla','gradientUnits="objectBoundingBox" x1="0" y1="0" x2="0" y2="1"',
          ('0','#FFFFFF'), ('1','#E3E8F1'))
w('  </defs>\n')

# ---------- floor
w('  <rect width="626" height="414" fill="#FFFFFF"/>')
w('  <ellipse cx="313" cy="300" rx="330" ry="119" fill="url(#chao)"/>')

def sombra(cx,cy,rx,ry,op=1):
    w('  <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="url(#sombra)" opacity="%s"/>'%(f(cx),f(cy),f(rx),f(ry),f(op)))

def tubo(x1,y1,x2,y2,wd=2.6,col='#AEB6C3'):
    w('  <path d="M%s,%s L%s,%s" stroke="#6F7989" stroke-width="%s" stroke-linecap="round"/>'%(f(x1),f(y1),f(x2),f(y2),f(wd+1.1)))
    w('  <path d="M%s,%s L%s,%s" stroke="#E9EDF3" stroke-width="%s" stroke-linecap="round"/>'%(f(x1),f(y1),f(x2),f(y2),f(wd)))

def tripe(x,y,ax,top):
    # stand base: three legs from a hub above the floor point
    sombra(x,y+2,ax*1.3,ax*0.45,0.9)
    tubo(x,top,x-ax,y+ax*0.25,2)
    tubo(x,top,x+ax,y+ax*0.25,2)
    tubo(x,top,x+ax*0.15,y-ax*0.3,1.8)

# shadows of the big pieces
sombra(274,352,92,22)
sombra(97,388,52,14)
sombra(181,306,40,11)
sombra(400,300,50,13)
sombra(490,325,56,15)

# ---------- far stands (behind everything)
w('  <g id="estantes">')
tubo(346,52,322,240,2.6)              # crash 2, down behind the bass drum
tubo(227,63,229,250,2.4)              # splash, behind the first tom
tripe(604,326,18,300); tubo(604,92,604,304,2.8); tubo(604,94,523,72,2.2)   # crash 1 on a boom
w('  <rect x="599" y="88" width="10" height="9" rx="2" fill="url(#cromo)" stroke="#6F7989" stroke-width="0.6"/>')
tripe(441,290,16,270); tubo(437,135,441,274,2.6)             # ride
tripe(26,306,18,282); tubo(26,64,26,286,2.8); tubo(26,66,123,44,2.2)     # ride 2 on a boom, clear of the hi-hat
w('  <rect x="21" y="60" width="10" height="9" rx="2" fill="url(#cromo)" stroke="#6F7989" stroke-width="0.6"/>')
w('  </g>')

def elipse_path(cx,cy,rx,ry):
    return 'M%s,%s A%s,%s 0 1 0 %s,%s A%s,%s 0 1 0 %s,%s Z'%(f(cx-rx),f(cy),f(rx),f(ry),f(cx+rx),f(cy),f(rx),f(ry),f(cx-rx),f(cy))

def tambor(idn,cx,cy,rx,ry,prof,casco='casco',aros=True,lugs=6):
    w('  <g id="%s">'%idn)
    # shell: lower half of the head extruded downwards
    d='M%s,%s A%s,%s 0 0 0 %s,%s V%s A%s,%s 0 0 1 %s,%s Z'%(f(cx-rx),f(cy),f(rx),f(ry),f(cx+rx),f(cy),f(cy+prof),f(rx),f(ry),f(cx-rx),f(cy+prof))
    w('    <path d="%s" fill="url(#%s)"/>'%(d,casco))
    # sparkle
    if casco=='casco':
        for i in range(int(rx*prof/55)):
            a=random.uniform(-0.92,0.92); t=random.uniform(0.15,0.95)
            x=cx+rx*a; y=cy+ry*math.sqrt(1-a*a)+prof*t*0.95
            w('    <circle cx="%s" cy="%s" r="0.55" fill="#FFFFFF" opacity="%s"/>'%(f(x),f(y),f(random.uniform(0.25,0.6))))
    # bottom hoop
    d2='M%s,%s A%s,%s 0 0 0 %s,%s'%(f(cx-rx),f(cy+prof-1.5),f(rx),f(ry),f(cx+rx),f(cy+prof-1.5))
    w('    <path d="%s" fill="none" stroke="#7E8898" stroke-width="3.6"/>'%d2)
    w('    <path d="%s" fill="none" stroke="#E8ECF2" stroke-width="2"/>'%d2)
    # lugs on the front of the shell
    for i in range(lugs):
        a=-0.85+1.7*i/(lugs-1)
        x=cx+rx*a; y=cy+ry*math.sqrt(1-a*a)
        h=min(prof*0.45,12)
        y0=y+(prof-h)/2
        w('    <rect x="%s" y="%s" width="3" height="%s" rx="1.2" fill="url(#cromoV)" stroke="#6F7989" stroke-width="0.5"/>'%(f(x-1.5),f(y0),f(h)))
    # head and top hoop
    w('    <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="url(#pele)"/>'%(f(cx),f(cy),f(rx),f(ry)))
    w('    <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="none" stroke="#7E8898" stroke-width="3.4"/>'%(f(cx),f(cy),f(rx-0.6),f(ry-0.6)))
    w('    <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="none" stroke="#EEF1F6" stroke-width="1.6"/>'%(f(cx),f(cy),f(rx-0.6),f(ry-0.6)))
    w('  </g>')

def batida(idn,cx,cy,rx,ry,sobre):
    # struck head: a bright bloom and two ripples, inside (rx, ry) of the centre
    w('  <g id="%s-on" display="none">'%idn)
    w('    <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="url(#brilhoPele)"/>'%(f(cx),f(cy),f(rx),f(ry)))
    w('    <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="none" stroke="#D98E1F" stroke-opacity="0.8" stroke-width="1.1"/>'%(f(cx),f(cy),f(rx*0.55),f(ry*0.55)))
    w('    <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="none" stroke="#D98E1F" stroke-opacity="0.5" stroke-width="1"/>'%(f(cx),f(cy),f(rx*0.85),f(ry*0.85)))
    w('  </g>')

# ---------- bass drum body (shell going away) and tom holder
w('  <g id="bumbo-casco">')
far=(274,262); near=(274,300); R=60; RY=50
d='M%s,%s A%s,%s 0 0 1 %s,%s V%s H%s Z'%(f(far[0]-R),f(far[1]),f(R),f(RY),f(far[0]+R),f(far[1]),f(near[1]),f(near[0]-R))
w('    <path d="%s" fill="url(#casco)"/>'%d)
for i in range(40):
    a=random.uniform(-0.95,0.95); x=274+R*a; y=random.uniform(far[1]-RY*math.sqrt(1-a*a)+3,300)
    w('    <circle cx="%s" cy="%s" r="0.55" fill="#FFFFFF" opacity="%s"/>'%(f(x),f(y),f(random.uniform(0.25,0.55))))
w('    <path d="M%s,%s A%s,%s 0 0 1 %s,%s" fill="none" stroke="#7E8898" stroke-width="3"/>'%(f(far[0]-R+1),f(far[1]),f(R-1),f(RY-1),f(far[0]+R-1),f(far[1])))
w('    <path d="M%s,%s A%s,%s 0 0 1 %s,%s" fill="none" stroke="#E4E8EE" stroke-width="1.4"/>'%(f(far[0]-R+1),f(far[1]),f(R-1),f(RY-1),f(far[0]+R-1),f(far[1])))
w('  </g>')
# tom holder
tubo(274,222,274,176,3.4)
tubo(274,178,248,160,2.6)
tubo(274,178,312,158,2.6)
w('  <rect x="266" y="214" width="16" height="9" rx="2" fill="url(#cromo)" stroke="#6F7989" stroke-width="0.6"/>')
w('  <rect x="268.5" y="171" width="11" height="10" rx="2" fill="url(#cromo)" stroke="#6F7989" stroke-width="0.6"/>')

# ---------- toms
tambor('ton1',239,133,26,14,24)
batida('ton1',239,133,15,7.5,None)
tambor('ton2',321,132,28,15,26)
batida('ton2',321.5,132,16,8,None)

# ---------- floor toms with legs
for (idn,cx,cy,rx,ry,pr,fl) in [('surdo1',398,192.5,34,17,56,300),('surdo2',487,213.5,38,19,62,325)]:
    tubo(cx-rx+4,cy+ry+10,cx-rx-6,fl-6,2.2)
    tubo(cx+rx-4,cy+ry+10,cx+rx+6,fl-6,2.2)
    tubo(cx+4,cy+ry+pr-10,cx+6,fl+4,2.2)
    tambor(idn,cx,cy,rx,ry,pr,lugs=7)
batida('surdo1',398,192.5,16,8.5,None)
batida('surdo2',487,213.5,18,8.5,None)

# ---------- cymbals
def prato(idn,cx,cy,rx,ry,rot,aceso=False,mostrar=True):
    disp='' if not aceso else ' display="none"'
    nome=idn+('-on' if aceso else '')
    w('  <g id="%s"%s>'%(nome,disp))
    r=rot+(3.5 if aceso else 0)
    w('    <g transform="rotate(%s %s %s)">'%(f(r),f(cx),f(cy)))
    if aceso:
        w('      <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="url(#halo)"/>'%(f(cx),f(cy),f(rx+5),f(ry+4)))
    # underside rim shade, then the face
    w('      <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="#8A5A16"/>'%(f(cx),f(cy+1.4),f(rx),f(ry)))
    w('      <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="url(#%s)"/>'%(f(cx),f(cy),f(rx),f(ry),'bronzeAceso' if aceso else 'bronze'))
    for k in (0.35,0.5,0.65,0.8,0.92):
        w('      <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="none" stroke="#8A5A16" stroke-opacity="%s" stroke-width="0.6"/>'%(f(cx),f(cy),f(rx*k),f(ry*k),'0.10' if aceso else '0.16'))
    # specular sweep
    w('      <path d="M%s,%s A%s,%s 0 0 1 %s,%s" fill="none" stroke="#FFFFFF" stroke-opacity="%s" stroke-width="%s" stroke-linecap="round"/>'%(
        f(cx-rx*0.72),f(cy-ry*0.25),f(rx*0.75),f(ry*0.75),f(cx+rx*0.1),f(cy-ry*0.74),'0.85' if aceso else '0.55',f(max(1.5,ry*0.12))))
    w('      <path d="M%s,%s A%s,%s 0 0 0 %s,%s" fill="none" stroke="#FFF6DC" stroke-opacity="%s" stroke-width="%s" stroke-linecap="round"/>'%(
        f(cx+rx*0.78),f(cy+ry*0.2),f(rx*0.8),f(ry*0.8),f(cx+rx*0.05),f(cy+ry*0.78),'0.6' if aceso else '0.35',f(max(1.2,ry*0.09))))
    w('      <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="none" stroke="#6E4710" stroke-opacity="0.6" stroke-width="0.8"/>'%(f(cx),f(cy),f(rx-0.4),f(ry-0.4)))
    # bell, felt and wing nut
    w('      <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="#%s" stroke="#8A5A16" stroke-opacity="0.5" stroke-width="0.7"/>'%(f(cx),f(cy),f(rx*0.17),f(ry*0.2),'FFF6DA' if aceso else 'F3D48C'))
    w('      <ellipse cx="%s" cy="%s" rx="2.6" ry="1.6" fill="#3A3F4A"/>'%(f(cx),f(cy-1.2)))
    w('      <path d="M%s,%s h6" stroke="#DDE2EA" stroke-width="1.6" stroke-linecap="round"/>'%(f(cx-3),f(cy-3)))
    if aceso:
        for k in (1.0,):
            w('      <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="none" stroke="#FFFFFF" stroke-opacity="0.7" stroke-width="0.9"/>'%(f(cx),f(cy),f(rx*0.62),f(ry*0.62)))
    w('    </g>')
    if aceso:
        # shimmer marks just outside the rim
        for ang in (200,235,305,340):
            a=math.radians(ang+r)
            x1=cx+(rx+2)*math.cos(math.radians(ang)); y1=cy+(ry+2)*math.sin(math.radians(ang))
            x2=cx+(rx+5.5)*math.cos(math.radians(ang)); y2=cy+(ry+4.5)*math.sin(math.radians(ang))
            w('    <path d="M%s,%s L%s,%s" stroke="#E5A93B" stroke-width="1.3" stroke-linecap="round" stroke-opacity="0.8"/>'%(f(x1),f(y1),f(x2),f(y2)))
    w('  </g>')

pratos=[('prato2',346,51.5,49,20.6,-7),('attack1',227.5,63,29,12.2,7),('prato3',523,72,64,29.4,-5),('attack2',437,134.5,38,19,-2),('prato1',123,43.5,44,20.2,3)]
for p in pratos:
    prato(*p); prato(*p,aceso=True)

# ---------- snare on its stand
tripe(181,306,28,286)
tubo(181,216,181,290,2.8)
tubo(181,222,162,208,1.8); tubo(181,222,200,208,1.8)
tambor('caixa',181,197,34,19,14,casco='cascoAco',lugs=5)
# snare strainer
w('  <rect x="212.5" y="201" width="4" height="7" rx="1" fill="url(#cromo)" stroke="#6F7989" stroke-width="0.5"/>')
batida('caixa',180,197,17,8,None)

# ---------- bass drum batter head, hoop, spurs
w('  <g id="bumbo">')
w('    <ellipse cx="274" cy="300" rx="60" ry="50" fill="url(#pele)"/>')
w('    <ellipse cx="274" cy="300" rx="57" ry="47.5" fill="none" stroke="#D9DCE1" stroke-width="1"/>')
w('    <ellipse cx="274" cy="300" rx="59" ry="49" fill="none" stroke="#9E1B30" stroke-width="4"/>')
w('    <ellipse cx="274" cy="300" rx="59" ry="49" fill="none" stroke="#C7344A" stroke-width="1.4"/>')
w('    <ellipse cx="274" cy="300" rx="60.5" ry="50.5" fill="none" stroke="#6F7989" stroke-width="0.8"/>')
for i in range(10):
    a=math.radians(i*36+18)
    x=274+62*math.cos(a); y=300+51.5*math.sin(a)
    w('    <circle cx="%s" cy="%s" r="2" fill="url(#cromoV)" stroke="#6F7989" stroke-width="0.5"/>'%(f(x),f(y)))
# small felt strip and a maker badge
w('    <ellipse cx="274" cy="300" rx="24" ry="20" fill="none" stroke="#ECEEF0" stroke-width="6"/>')
w('  </g>')
tubo(216,330,204,356,2); tubo(332,330,344,356,2)

# bass drum pedal and beater: rest and struck
def pedal(aceso):
    idn='bumbo-on' if aceso else 'pedal-bumbo'
    w('  <g id="%s"%s>'%(idn,' display="none"' if aceso else ''))
    if aceso:
        # bloom and ripples on the batter head around the beater
        w('    <ellipse cx="274" cy="302" rx="36" ry="30" fill="url(#brilhoPele)"/>')
        for k,o in ((0.55,0.55),(0.85,0.35)):
            w('    <ellipse cx="274" cy="302" rx="%s" ry="%s" fill="none" stroke="#D98E1F" stroke-opacity="%s" stroke-width="1.2"/>'%(f(40*k),f(33*k),f(o)))
    bola=302 if aceso else 322
    # frame and axle
    w('    <rect x="257" y="348" width="34" height="8" rx="2" fill="#3A3F4A"/>')
    w('    <rect x="258" y="349" width="32" height="3" rx="1.5" fill="#7E8898"/>')
    w('    <path d="M262,352 V%s M286,352 V%s" stroke="#AEB6C3" stroke-width="2.4" stroke-linecap="round"/>'%(f(bola+18),f(bola+18)))
    # beater
    w('    <path d="M274,352 L274,%s" stroke="#6F7989" stroke-width="3"/>'%f(bola))
    w('    <path d="M274,352 L274,%s" stroke="#E9EDF3" stroke-width="1.6"/>'%f(bola))
    w('    <ellipse cx="274" cy="%s" rx="8" ry="6.5" fill="#2E3440"/>'%f(bola))
    w('    <ellipse cx="272.5" cy="%s" rx="4.5" ry="3" fill="#5A6272"/>'%f(bola-1.5))
    w('  </g>')
pedal(False); pedal(True)

def tenis(idn,hx,hy,tx,ty,largura,mostrar=True,extra=''):
    # a sneaker seen from above: heel (hx,hy), toe (tx,ty)
    ang=math.degrees(math.atan2(ty-hy,tx-hx))+90
    L=math.hypot(tx-hx,ty-hy)
    cx=(hx+tx)/2; cy=(hy+ty)/2
    disp='' if mostrar else ' display="none"'
    w('  <g id="%s"%s>'%(idn,disp))
    w('    <g transform="translate(%s %s) rotate(%s)">'%(f(cx),f(cy),f(ang)))
    h=L/2; lw=largura/2
    w('      <ellipse cx="1.5" cy="2.5" rx="%s" ry="%s" fill="#1B2537" opacity="0.18"/>'%(f(lw+1),f(h+1)))
    sole='M0,%s C%s,%s %s,%s %s,%s C%s,%s %s,%s 0,%s C%s,%s %s,%s %s,%s C%s,%s %s,%s 0,%s Z'%(
        f(-h), f(lw*1.1),f(-h), f(lw),f(-h*0.35), f(lw*0.82),f(h*0.2),
        f(lw*0.7),f(h*0.8), f(lw*0.5),f(h), f(h),
        f(-lw*0.5),f(h), f(-lw*0.7),f(h*0.8), f(-lw*0.82),f(h*0.2),
        f(-lw),f(-h*0.35), f(-lw*1.1),f(-h), f(-h))
    w('      <path d="%s" fill="#F4F6F9" stroke="#9AA4B3" stroke-width="0.8"/>'%sole)
    w('      <path d="%s" fill="url(#tenis)" transform="scale(0.84 0.9)"/>'%sole)
    w('      <path d="M%s,%s Q0,%s %s,%s" fill="none" stroke="#F4F6F9" stroke-width="1.4" stroke-opacity="0.8"/>'%(f(-lw*0.6),f(-h*0.62),f(-h*0.95),f(lw*0.6),f(-h*0.62)))
    for k in range(4):
        y=-h*0.35+k*h*0.17
        w('      <path d="M%s,%s h%s" stroke="#FFFFFF" stroke-width="1.3" stroke-linecap="round"/>'%(f(-lw*0.32),f(y),f(lw*0.64)))
    w('      <path d="M%s,%s h%s" stroke="#E9505E" stroke-width="2" stroke-linecap="round"/>'%(f(-lw*0.45),f(h*0.62),f(lw*0.9)))
    w('      <rect x="%s" y="%s" width="%s" height="%s" rx="%s" fill="#2A3550"/>'%(f(-lw*0.7),f(h*0.7),f(lw*1.4),f(h*0.32),f(lw*0.5)))
    w('    </g>')
    w('  </g>')

def calca(hx,hy,ang,largura):
    # the drummer's trouser leg, still while the foot works the pedal
    w('  <g transform="translate(%s %s) rotate(%s)">'%(f(hx),f(hy),f(ang)))
    w('    <rect x="%s" y="-4" width="%s" height="40" rx="7" fill="#3B4250"/>'%(f(-largura/2),f(largura)))
    w('    <rect x="%s" y="-4" width="%s" height="40" rx="6" fill="#5C6373" opacity="0.6"/>'%(f(-largura/2+3),f(largura*0.35)))
    w('    <path d="M%s,-1 h%s" stroke="#262B35" stroke-width="1.5"/>'%(f(-largura/2+2),f(largura-4)))
    w('  </g>')

# bass-drum foot: released (rest) and pressing (struck)
calca(277,398,0,27)
tenis('pe-bumbo',277,399,274,332,31)
w('  <g id="pe-bumbo-on" display="none">')
tenis('pe-bumbo-on-x',277,399,274,340,31)
w('  </g>')

# ---------- hi-hat
HX=95
tripe(HX,390,34,338)
tubo(HX,160,HX,372,3)
# pedal footboard: rest (toe raised) and pressed
def pedal_chimbal(aceso):
    idn='pedal-chimbal-on' if aceso else 'pedal-chimbal'
    w('  <g id="%s"%s>'%(idn,' display="none"' if aceso else ''))
    dy=6 if aceso else 0
    w('    <path d="M%s,%s L%s,%s L160,404 L145,407 Z" fill="#2E3440"/>'%(f(97),f(360+dy),f(112),f(356+dy)))
    w('    <path d="M%s,%s L%s,%s L156,400 L148,402 Z" fill="#5A6272"/>'%(f(101),f(362+dy),f(110),f(360+dy)))
    w('    <path d="M%s,%s L%s,%s" stroke="#AEB6C3" stroke-width="1.6"/>'%(f(HX),f(372),f(104),f(361+dy)))
    w('  </g>')
pedal_chimbal(False); pedal_chimbal(True)
calca(160,399,-48,26)
tenis('pe-chimbal',160,400,112,356,30)
w('  <g id="pe-chimbal-on" display="none">')
tenis('pe-chimbal-on-x',160,400,115,363,30)
w('  </g>')

def chimbal(fechado):
    idn='chimbal-on' if fechado else 'chimbal'
    w('  <g id="%s"%s>'%(idn,' display="none"' if fechado else ''))
    topo=149.5 if fechado else 138
    # bottom cymbal
    w('    <ellipse cx="%s" cy="153.4" rx="44" ry="13" fill="#8A5A16"/>'%HX)
    w('    <ellipse cx="%s" cy="152" rx="44" ry="13" fill="url(#bronze)"/>'%HX)
    # clutch and rod
    w('    <path d="M%s,%s V%s" stroke="#6F7989" stroke-width="2.2"/>'%(HX,f(topo-14),152))
    w('    <path d="M%s,%s V%s" stroke="#E9EDF3" stroke-width="1"/>'%(HX,f(topo-14),152))
    # top cymbal
    w('    <ellipse cx="%s" cy="%s" rx="44" ry="13" fill="#7A4E12"/>'%(HX,f(topo+1.6)))
    w('    <ellipse cx="%s" cy="%s" rx="44" ry="13" fill="url(#%s)"/>'%(HX,f(topo),'bronze'))
    for k in (0.4,0.6,0.8):
        w('    <ellipse cx="%s" cy="%s" rx="%s" ry="%s" fill="none" stroke="#8A5A16" stroke-opacity="0.16" stroke-width="0.6"/>'%(HX,f(topo),f(44*k),f(13*k)))
    w('    <path d="M%s,%s A33,10 0 0 1 %s,%s" fill="none" stroke="#FFFFFF" stroke-opacity="0.55" stroke-width="1.6" stroke-linecap="round"/>'%(f(HX-32),f(topo-3),f(HX+4),f(topo-9.6)))
    w('    <ellipse cx="%s" cy="%s" rx="43.6" ry="12.6" fill="none" stroke="#6E4710" stroke-opacity="0.6" stroke-width="0.8"/>'%(HX,f(topo)))
    w('    <ellipse cx="%s" cy="%s" rx="7.5" ry="2.8" fill="#F3D48C" stroke="#8A5A16" stroke-opacity="0.5" stroke-width="0.7"/>'%(HX,f(topo)))
    w('    <rect x="%s" y="%s" width="8" height="4" rx="1.5" fill="url(#cromo)" stroke="#6F7989" stroke-width="0.5"/>'%(f(HX-4),f(topo-4)))
    if fechado:
        w('    <path d="M%s,%s q44,-8 88,0" fill="none" stroke="#E5A93B" stroke-opacity="0.55" stroke-width="1.2"/>'%(f(HX-44),f(topo+17)))
    w('  </g>')
chimbal(False); chimbal(True)

# ---------- sticks
def pontos_baqueta(T,B):
    tx,ty=T; bx,by=B
    L=math.hypot(bx-tx,by-ty); ux,uy=(bx-tx)/L,(by-ty)/L; nx,ny=-uy,ux
    wt,wb=1.6,2.9
    ponta=[(tx+nx*wt+ux*3,ty+ny*wt+uy*3),(tx-nx*wt+ux*3,ty-ny*wt+uy*3),(tx-nx*3.2+ux*6,ty-ny*3.2+uy*6)]
    c=(tx+ux*1.5,ty+uy*1.5); ponta+=[(c[0]-2.9,c[1]-2.9),(c[0]+2.9,c[1]+2.9)]
    cabo=[(bx+nx*wb,by+ny*wb),(bx-nx*wb,by-ny*wb),(bx+ux*wb,by+uy*wb)]
    return ponta,cabo

def encaixar(T,B,r):
    # pull either end inwards until the whole stick lies 1 px inside its picture
    x,y,w,h=r
    fora=lambda ps: any(px-0.5<x+1 or px+0.5>x+w-1 or py-0.5<y+1 or py+0.5>y+h-1 for px,py in ps)
    for _ in range(60):
        ponta,cabo=pontos_baqueta(T,B)
        L=math.hypot(B[0]-T[0],B[1]-T[1]); ux,uy=(B[0]-T[0])/L,(B[1]-T[1])/L
        mudou=False
        if fora(ponta): T=(T[0]+ux*0.4,T[1]+uy*0.4); mudou=True
        if fora(cabo): B=(B[0]-ux*0.4,B[1]-uy*0.4); mudou=True
        if not mudou: return T,B
    raise SystemExit('stick does not fit %s'%(r,))

def baqueta(idn,T,B):
    T,B=encaixar(T,B,retangulosBaquetas[idn])
    tx,ty=T; bx,by=B
    L=math.hypot(bx-tx,by-ty); ux,uy=(bx-tx)/L,(by-ty)/L; nx,ny=-uy,ux
    wt,wb=1.6,2.9
    p1=(tx+nx*wt+ux*3,ty+ny*wt+uy*3); p2=(bx+nx*wb,by+ny*wb); p3=(bx-nx*wb,by-ny*wb); p4=(tx-nx*wt+ux*3,ty-ny*wt+uy*3)
    w('  <g id="%s" display="none">'%idn)
    # a faint sweep where the stick came from
    sx,sy=tx-nx*3.2,ty-ny*3.2
    w('    <path d="M%s,%s L%s,%s L%s,%s Z" fill="#B9C7E0" fill-opacity="0.45"/>'%(f(p4[0]),f(p4[1]),f(sx+ux*6),f(sy+uy*6),f(p3[0]),f(p3[1])))
    d='M%s,%s L%s,%s A%s,%s 0 0 1 %s,%s L%s,%s Z'%(f(p1[0]),f(p1[1]),f(p2[0]),f(p2[1]),f(wb),f(wb),f(p3[0]),f(p3[1]),f(p4[0]),f(p4[1]))
    w('    <path d="%s" fill="#D9A066" stroke="#7B4A1E" stroke-width="0.9" stroke-linejoin="round"/>'%d)
    w('    <path d="M%s,%s L%s,%s" stroke="#F6DDB5" stroke-width="0.9" stroke-linecap="round"/>'%(f(tx+ux*5+nx*0.5),f(ty+uy*5+ny*0.5),f(bx-ux*3+nx*1),f(by-uy*3+ny*1)))
    # tape on the grip
    gx,gy=bx-ux*L*0.28,by-uy*L*0.28
    w('    <path d="M%s,%s L%s,%s" stroke="#2F4F8F" stroke-width="%s" stroke-opacity="0.85"/>'%(f(gx+ux*L*0.1),f(gy+uy*L*0.1),f(gx),f(gy),f(wb*2-0.6)))
    w('    <ellipse cx="%s" cy="%s" rx="2.5" ry="2.1" fill="#F4DDB5" stroke="#7B4A1E" stroke-width="0.8" transform="rotate(%s %s %s)"/>'%(f(tx+ux*1.5),f(ty+uy*1.5),f(math.degrees(math.atan2(uy,ux))),f(tx+ux*1.5),f(ty+uy*1.5)))
    w('  </g>')

retangulosBaquetas={'baq-chimbal':(114,140,68,22),'baq-chimbal2':(115,129,71,24),'baq-caixa':(111,197,68,28),'baq-aro':(170,184,69,18),'baq-ton1':(240,136,17,69),'baq-ton2':(300,132,19,68),'baq-surdo1':(322,181,73,18),'baq-surdo2':(410,204,69,12),'baq-prato1':(139,58,38,63),'baq-attack1':(218,70,25,57),'baq-prato2':(303,62,23,69),'baq-attack2':(354,141,59,45),'baq-prato3':(412,85,64,41)}
sticks={
 'baq-chimbal':((118,146),(179,158)),
 'baq-chimbal2':((119,134),(183,149)),
 'baq-caixa':((174,199),(114,222)),
 'baq-aro':((174,198),(236,188)),
 'baq-ton1':((246,139),(253,202)),
 'baq-ton2':((316,135),(303,196)),
 'baq-surdo1':((391,193),(325,185)),
 'baq-surdo2':((475,211),(413,208)),
 'baq-prato1':((143,60),(173,117)),
 'baq-attack1':((221,73),(239,123)),
 'baq-prato2':((307,64),(322,127)),
 'baq-attack2':((409,145),(358,182)),
 'baq-prato3':((472,88),(416,122)),
}
for k,(T,B) in sticks.items(): baqueta(k,T,B)

# ---------- keys shown with the keyboard help
def tecla(idn,x,y,wd,ht,rotulo,cor,tam=15):
    w('  <g id="%s" display="none">'%idn)
    w('    <rect x="%s" y="%s" width="%s" height="%s" rx="5" fill="#1B2537" fill-opacity="0.28"/>'%(f(x+1.5),f(y+2.5),f(wd-3),f(ht-3)))
    w('    <rect x="%s" y="%s" width="%s" height="%s" rx="5" fill="#B9C4D8"/>'%(f(x+1),f(y+1),f(wd-3),f(ht-3)))
    w('    <rect x="%s" y="%s" width="%s" height="%s" rx="4.5" fill="url(#tecla)" stroke="%s" stroke-width="1.2"/>'%(f(x+1.6),f(y+1.6),f(wd-4.2),f(ht-6.2),cor))
    if not rotulo:
        # the space bar: a small bass-drum head instead of a word
        w('    <circle cx="%s" cy="%s" r="6.5" fill="none" stroke="%s" stroke-width="1.6"/>'%(f(x+wd/2-0.5),f(y+ht/2-1.5),cor))
        w('    <circle cx="%s" cy="%s" r="2.4" fill="%s"/>'%(f(x+wd/2-0.5),f(y+ht/2-1.5),cor))
    if rotulo:
        w('    <text x="%s" y="%s" font-size="%s" font-weight="bold" fill="#24406F" text-anchor="middle">%s</text>'%(f(x+wd/2-0.5),f(y+ht/2+tam*0.33),f(tam),rotulo))
    w('  </g>')

CORCAIXA='#3F68B6'; CORTOM='#B8283E'; CORPRATO='#C8922F'; CORBUMBO='#1F2D4A'
teclas=[
 ('teclaAtaque2',418,125,31,31,'K',CORPRATO),
 # the two snare keys read as on the keyboard: A to the left of S
 ('tecla2Caixa',124,207,31,31,'A',CORCAIXA),
 ('tecla1Caixa',154,207,31,32,'S',CORCAIXA),
 ('teclaAro',199,195,31,32,'Z',CORCAIXA),
 ('teclaPedalChimbal',90,357,45,32,'Ctrl',CORPRATO),
 ('tecla2Chimbal',54,108,31,31,'D',CORPRATO),
 ('tecla1Chimbal',38,138,31,31,'X',CORPRATO),
 ('tecla1Tom1',233,142,31,31,'C',CORTOM),
 ('tecla2Tom1',249,112,31,31,'F',CORTOM),
 ('tecla1Tom2',306,137,31,31,'V',CORTOM),
 ('tecla2Tom2',322,107,31,31,'G',CORTOM),
 ('tecla1Surdo1',383,200,31,31,'B',CORTOM),
 ('tecla2Surdo1',399,170,31,31,'H',CORTOM),
 ('tecla1Surdo2',470,217,31,31,'N',CORTOM),
 ('tecla2Surdo2',486,187,31,31,'J',CORTOM),
 ('teclaBombo',213,353,131,31,'',CORBUMBO),
 ('teclaPrato1',113,23,31,31,'E',CORPRATO),
 ('teclaAtaque1',216,35,31,31,'R',CORPRATO),
 ('teclaPrato2',311,28,31,31,'Y',CORPRATO),
 ('teclaPrato3',482,59,31,31,'O',CORPRATO),
]
for t in teclas:
    tecla(t[0],t[1],t[2],t[3],t[4],t[5],t[6],12 if t[5]=='Ctrl' else 15)

w('</svg>')
open(os.path.join(ARTE, 'kit.svg'),'w').write('\n'.join(out)+'\n')

# picture list
L=[]
L.append('# The drum kit, cut from kit.svg; rectangles from the kit table (player/TabelaBateria.h).')
L.append('# name               state                                 rectangle  mask')
L.append('imgBateria           -                                     kit')
L.append('imgChimbal           chimbal-on+!chimbal+pedal-chimbal-on+!pedal-chimbal+pe-chimbal-on+!pe-chimbal  kit')
L.append('imgPeChimbal         chimbal-on+!chimbal+pedal-chimbal-on+!pedal-chimbal+pe-chimbal-on+!pe-chimbal  kit')
L.append('imgPeSolto           -                                     kit')
for a,b in [('imgCaixa','caixa'),('imgTon1','ton1'),('imgTon2','ton2'),('imgSurdo1','surdo1'),('imgSurdo2','surdo2')]:
    L.append('%-20s %-37s kit'%(a,b+'-on'))
for a,b in [('imgPrato1','prato1'),('imgPratoAttack1','attack1'),('imgPrato2','prato2'),('imgPratoAttack2','attack2'),('imgPrato3','prato3')]:
    L.append('%-20s %-37s kit'%(a,b+'-on+!'+b))
L.append('imgBombo             bumbo-on+!pedal-bumbo+pe-bumbo-on+!pe-bumbo  kit')
L.append('imgPeBomboSolto      -                                     kit')
stk=[('imgBaqChimbal','baq-chimbal','chimbal-on+!chimbal'),('imgBaqChimbal2','baq-chimbal2',''),('imgBaqCaixa','baq-caixa','caixa-on'),
     ('imgBaqAro','baq-aro',''),('imgBaqTon1','baq-ton1','ton1-on'),('imgBaqTon2','baq-ton2','ton2-on'),('imgBaqSurdo1','baq-surdo1','surdo1-on'),
     ('imgBaqSurdo2','baq-surdo2','surdo2-on'),('imgBaqPrato1','baq-prato1','prato1-on+!prato1'),('imgBaqPrAttack1','baq-attack1','attack1-on+!attack1'),
     ('imgBaqPrato2','baq-prato2','prato2-on+!prato2'),('imgBaqPrAttack2','baq-attack2','attack2-on+!attack2'),('imgBaqPrato3','baq-prato3','prato3-on+!prato3')]
for a,b,c in stk:
    st=b  # the stick alone: its colours come from its own layer
    L.append('%-20s %-37s kit        mask=%s'%(a,st,b))
L.append('# keys over the kit while the keyboard help is open')
for t in teclas:
    nome='img'+t[0][0].upper()+t[0][1:]
    L.append('%-20s %-37s %d,%d,%d,%d  mask=%s'%(nome,t[0],t[1],t[2],t[3],t[4],t[0]))
open(os.path.join(ARTE, 'kit.pics'),'w').write('\n'.join(L)+'\n')
