#!/usr/bin/env python3
# Draws what GDAL reads from a KML file (ogr2ogr to GeoJSON, layer by layer) with
# ImageMagick: J stakes red, Z stakes yellow, other points blue, the line red, names beside.
# Usage: scripts/kmlpicture.py FILE.kml OUT.png
import json, subprocess, sys
kml = sys.argv[1]
layers = [l.split(': ',1)[1].rsplit(' (',1)[0] for l in subprocess.run(['ogrinfo','-ro','-q',kml],capture_output=True,text=True).stdout.splitlines() if ': ' in l]
feats = []
for layer in layers:
    out = subprocess.run(['ogr2ogr','-f','GeoJSON','/vsistdout/',kml,layer],capture_output=True,text=True).stdout
    for f in json.loads(out)['features']:
        feats.append((layer,f))
xs=[];ys=[]
for _,f in feats:
    g=f['geometry']; cs=[g['coordinates']] if g['type']=='Point' else g['coordinates']
    for c in cs: xs.append(c[0]); ys.append(c[1])
W,H,M=1000,700,60
x0,x1,y0,y1=min(xs),max(xs),min(ys),max(ys)
import math
k=min((W-2*M)/(x1-x0),(H-2*M)/(y1-y0))
def px(c): return (M+(c[0]-x0)*k, H-M-(c[1]-y0)*k)
cmds=['-fill','white','-draw',f'rectangle 0,0 {W},{H}']
font='Noto-Sans-CJK-SC'
for layer,f in feats:
    g=f['geometry']
    if g['type']=='LineString':
        cs=[px(c) for c in g['coordinates']]
        for a,b in zip(cs,cs[1:]):
            cmds+=['-stroke','#d00000','-strokewidth','3','-draw','line %.1f,%.1f %.1f,%.1f'%(a+b)]
for layer,f in feats:
    g=f['geometry']
    if g['type']!='Point': continue
    x,y=px(g['coordinates']); name=f['properties'].get('Name','')
    if layer=='J桩':
        cmds+=['-stroke','#d00000','-strokewidth','1','-fill','#ff4040','-draw',f'polygon {x:.1f},{y-9:.1f} {x-8:.1f},{y+6:.1f} {x+8:.1f},{y+6:.1f}']
    elif layer=='Z桩':
        cmds+=['-stroke','#806000','-strokewidth','1','-fill','#ffd000','-draw',f'rectangle {x-5:.1f},{y-5:.1f} {x+5:.1f},{y+5:.1f}']
    else:
        cmds+=['-stroke','#404040','-strokewidth','1','-fill','#a0c0ff','-draw',f'circle {x:.1f},{y:.1f} {x+4:.1f},{y:.1f}']
    cmds+=['-stroke','none','-fill','black','-font',font,'-pointsize','13','-draw',f"text {x+7:.1f},{y-6:.1f} '{name}'"]
title=f"{kml}：GDAL 读出的 {len(feats)} 个要素（经度 {x0:.4f}–{x1:.4f}，纬度 {y0:.4f}–{y1:.4f}）"
cmds+=['-stroke','none','-fill','black','-font',font,'-pointsize','16','-draw',f"text 20,30 '{title}'"]
subprocess.run(['convert','-size',f'{W}x{H}','xc:white']+cmds+[sys.argv[2]],check=True)
