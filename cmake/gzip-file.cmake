# cmake -DIN=file -DOUT=file.gz -P gzip-file.cmake: OUT becomes IN as one gzip member at
# the highest level (a program's compressed resource, inflated by the platform layer).
file(ARCHIVE_CREATE OUTPUT ${OUT} PATHS ${IN} FORMAT raw COMPRESSION GZip COMPRESSION_LEVEL 9)
