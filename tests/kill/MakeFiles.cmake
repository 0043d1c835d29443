# Makes the kill test's folder of files natively, before the test starts
# under Wine, where making files is slow: COUNT files f00000.dat.. in FOLDER
# (emptied first), each holding what the test expects of it.
#
# cmake -DFOLDER=DIR -DCOUNT=N -P MakeFiles.cmake
file(REMOVE_RECURSE "${FOLDER}")
file(MAKE_DIRECTORY "${FOLDER}")
math(EXPR last "${COUNT} - 1")
foreach(i RANGE 0 ${last})
    math(EXPR padded "100000 + ${i}")
    string(SUBSTRING "${padded}" 1 5 number)
    math(EXPR dots "${i} % 7")
    string(REPEAT "." ${dots} tail)
    file(WRITE "${FOLDER}/f${number}.dat" "content of file ${i}${tail}")
endforeach()
