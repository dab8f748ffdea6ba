# tv_engine: the partitioned convolution engine.
add_library(tv_engine STATIC ${CMAKE_CURRENT_LIST_DIR}/partitioned_convolver.cpp)
target_include_directories(tv_engine PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tv_engine PUBLIC tv_dsp tv_platform)
