# The benchmark compares the rotation routine with OpenCV's warpAffine (benchmark only).
find_package(OpenCV REQUIRED COMPONENTS core imgproc)
target_include_directories(rotate_bench PRIVATE ${OpenCV_INCLUDE_DIRS})
target_link_libraries(rotate_bench PRIVATE ${OpenCV_LIBS})
