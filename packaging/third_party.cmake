# Writes the Windows zips' THIRD-PARTY.txt: HEADER, then the MinGW-w64
# runtime's copyright file COPYRIGHT, line ends CR LF as crlf.cmake makes them.
#   cmake -DHEADER=... -DCOPYRIGHT=... -DOUTPUT=THIRD-PARTY.txt -P third_party.cmake
file(READ "${HEADER}" header)
file(READ "${COPYRIGHT}" copyright)
string(REPLACE "\r\n" "\n" text "${header}${copyright}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
