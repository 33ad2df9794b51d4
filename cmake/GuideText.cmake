# Turns the players' guide (Markdown, UTF-8) into the package's README.txt:
# the same text, without the picture lines, with CRLF line ends and a byte-order
# mark, so that Notepad of every Windows shows it as UTF-8.
#   cmake -DINPUT=README.md -DOUTPUT=README.txt -P GuideText.cmake
file(READ ${INPUT} text)
string(REPLACE "\r\n" "\n" text "${text}")
# A picture stands alone in its paragraph: it goes with the blank line before it.
string(REGEX REPLACE "\n\n[ ]*!\\[[^\n]*\\)[ ]*\n" "\n" text "${text}")
string(REPLACE "\n" "\r\n" text "${text}")
string(ASCII 239 187 191 bom)
file(WRITE ${OUTPUT} "${bom}${text}")
