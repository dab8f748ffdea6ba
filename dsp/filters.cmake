# tv_filters: the band sections and the linear-phase FIR built from them.
add_library(tv_filters STATIC
  ${CMAKE_CURRENT_LIST_DIR}/biquad_band.cpp
  ${CMAKE_CURRENT_LIST_DIR}/fir_cascaded_biquad.cpp
)
target_include_directories(tv_filters PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tv_filters PUBLIC tv_dsp tv_platform)
