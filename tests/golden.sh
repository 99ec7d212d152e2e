#!/usr/bin/env bash
# Whole outputs pinned by SHA-256: the plain form, the long classic sounds
# and a spread of sounds with options (every encoding, several rates, ramps,
# Farnsworth, volume, lead and tail, messages with punctuation and prosigns,
# raw, odd sample counts). A row changes only with a deliberate change of
# sound, never with a change of how it is made. In the arguments '~' stands
# for a blank and '@OUT' for the output file.
source "$(dirname "$0")/harness.sh"
need sha256sum coreutils

rows=(
  "011ffd8f19cd802793576e369ad6d21847e2353e46830c39e8e91710ba1b06da 46349 Q1ABC 20 @OUT"
  "d5f8bd014ac5bb897cc0ffce8b3d44d556a28eda692bc4f50c824517e4940a22 92654 -e s16 Q1ABC 20 @OUT"
  "ebddb1db95d9dc2ebcc10ccfa42f117b0378deb567c2a5e1c40ca79a2ead5346 46364 -e ulaw Q1ABC 20 @OUT"
  "8ea7f295a2ac090e92b30a336832d81616083937d60d5bc7571da2927256f627 46364 -e alaw Q1ABC 20 @OUT"
  "54fe0d231e263a00b0619117bcba9a0ceccb1603be1584cae09005eab57b8ee5 33600 -r 8000 -e ulaw --raw --ramp 5 Q1ABC 20 @OUT"
  "0ad64b2693777cb18c857f987d1574f8e1ac2d8f130e57a390f5547570630479 134444 -r 16000 -e s16 --ramp 5 Q1ABC 20 @OUT"
  "767b1b7d5437a4390a429c67343037a54b81d8d6c7c761aa3249c0e3717acc56 582056 -r 48000 -e s16 --ramp 3 --farnsworth 25 --volume -6 --lead 250 --tail 400 Q1ABC 12 @OUT 700"
  "c0edfb13445f413d65d34e16a570156bac2b1f8a53bc41f1995c26e58a4f311b 740924 -r 44100 -e u8 --ramp 2.5 --text CQ~CQ~DE~Q1ABC,~<AR>~73? 18 @OUT"
  "8b3451753cb0a9bc0391e01777f998e4605b2338faab417dfc43fd7140b63e2d 342680 -r 22050 -e alaw --raw --volume -20 --farnsworth 30 --text HELLO~(WORLD)~=~@~<SOS> 15 @OUT 523.25"
  "4ea25348e655e723815884d352d4c179a45968bdb4fed03d2a2b3e157e69be7a 46364 -e ulaw --ramp 5 Q1ABC 20 @OUT"
  "64f57aafba8349676e6969d552dac9cef2650d54e0fca50bacb22b51759b854d 1964 -r 8000 -e u8 --ramp 1 E 20 @OUT 1000"
  "311cff1b3633af465db756ce00000376fe0f0bd95140f125ff413b91e0d9e47e 1645758 -r 192000 -e s16 --ramp 4 Q1ABC/P 28 @OUT 3000"
  "011ffd8f19cd802793576e369ad6d21847e2353e46830c39e8e91710ba1b06da 46349 -r 11025 -e u8 Q1ABC 20 @OUT"
  "f7c1188dd2ce775fb5e4de1b8774fd3b860cc5b9576026bc3e97209035986508 46305 --raw Q1ABC 20 @OUT"
  "7a1b24f9da95cd15757f5ca9da3fbb239e615e4c9a45a1399d9867faada9dacc 57864 -r 12000 -e s16 --raw --lead 10 --tail 1 --ramp 0.5 EA9/K1 40 @OUT 1999"
  "77e70388d3486373089ac26ba9b96e56e7a91815b29af09be952973bb5ab1313 254060 Q1ABC/M 5 @OUT 600"
  "6c08896085d6489a6a09ea8174b17198a013632d1d6d381378b094a359a958f3 432224 VE4MNO/9 3 @OUT 1000"
  "65b6f6d97045b65e20f871a21be434f49e310298a7bfffa5f1a0f02bb0c1189e 2910644 0000000000 1 @OUT"
  "70ba1a9435193bb023379b20b9d5b8d8a067bb1bd818eb722afb37dd17d73259 516014 JA7VWX 2 @OUT 5000"
)

for row in "${rows[@]}"; do
  read -r hash size args <<<"$row"
  read -ra argv <<<"${args//@OUT/out.wav}"
  argv=("${argv[@]//\~/ }")
  rm -f out.wav
  run_zarn "${argv[@]}"
  check "$args: status" "$status $err" "0 "
  check "$args: size" "$(stat -c %s out.wav 2>/dev/null)" "$size"
  check "$args: sha256" "$(sha256sum <out.wav 2>/dev/null | cut -c1-64)" "$hash"
done
finish
