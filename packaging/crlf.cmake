# Copies a text file with its line ends turned into CR LF, for the Windows zips
# (Notepad before Windows 10's 2018 update shows bare LF line ends as one line).
#   cmake -DINPUT=README.md -DOUTPUT=README.txt -P crlf.cmake
file(READ "${INPUT}" text)
string(REPLACE "\r\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
file(WRITE "${OUTPUT}" "${text}")
