# The pictures under bmp/: regenerated and compared with the committed
# files, their sizes and cell layouts checked.
find_package(Python3 REQUIRED COMPONENTS Interpreter)
add_test(NAME pictures COMMAND Python3::Interpreter ${CMAKE_CURRENT_SOURCE_DIR}/test_pictures.py)
