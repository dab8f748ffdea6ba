# tv_dsp: the dsp_... primitives. Each variant set is one unit compiled for
# its own instruction set; the AVX sets exist on x86_64 only.
set(tv_dsp_dir ${CMAKE_CURRENT_LIST_DIR})
add_library(tv_dsp STATIC
  ${tv_dsp_dir}/dsp_alloc.cpp
  ${tv_dsp_dir}/dsp_cpu_features.cpp
  ${tv_dsp_dir}/dsp_denormal.cpp
  ${tv_dsp_dir}/dsp_dispatch.cpp
  ${tv_dsp_dir}/dsp_iir.cpp
  ${tv_dsp_dir}/dsp_vector.cpp
  ${tv_dsp_dir}/fft_spec.cpp
  ${tv_dsp_dir}/fft_transform.cpp
  ${tv_dsp_dir}/dsp_variant_none.cpp
  ${tv_dsp_dir}/dsp_variant_sse2.cpp
  ${tv_dsp_dir}/dsp_variant_sse3.cpp
)
target_include_directories(tv_dsp PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(tv_dsp PUBLIC tv_platform)

if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
  set(tv_dsp_have_avx 1)
else()
  set(tv_dsp_have_avx 0)
endif()
target_compile_definitions(tv_dsp PRIVATE TV_DSP_HAVE_AVX=${tv_dsp_have_avx})

# 32-bit Windows keeps only a 4-byte aligned stack; realign where SSE spills.
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  set(tv_dsp_sse_stack -mstackrealign)
endif()
set_source_files_properties(${tv_dsp_dir}/dsp_denormal.cpp PROPERTIES COMPILE_OPTIONS "-msse;${tv_dsp_sse_stack}")
set_source_files_properties(${tv_dsp_dir}/dsp_variant_sse2.cpp PROPERTIES COMPILE_OPTIONS "-msse2;${tv_dsp_sse_stack}")
set_source_files_properties(${tv_dsp_dir}/dsp_variant_sse3.cpp PROPERTIES COMPILE_OPTIONS "-msse3;${tv_dsp_sse_stack}")
if(tv_dsp_have_avx)
  # GCC on 64-bit Windows spills AVX registers with aligned moves to a stack
  # that is only 16-byte aligned; let the assembler make them unaligned.
  if(WIN32)
    set(tv_dsp_avx_stack "-Wa,-muse-unaligned-vector-move")
  endif()
  target_sources(tv_dsp PRIVATE ${tv_dsp_dir}/dsp_variant_avx2.cpp ${tv_dsp_dir}/dsp_variant_avx512.cpp)
  set_source_files_properties(${tv_dsp_dir}/dsp_variant_avx2.cpp PROPERTIES COMPILE_OPTIONS "-mavx2;-mfma;${tv_dsp_avx_stack}")
  # GCC 12's own AVX-512 headers trip the uninitialized warnings (_mm512_undefined_ps).
  set_source_files_properties(${tv_dsp_dir}/dsp_variant_avx512.cpp PROPERTIES COMPILE_OPTIONS
                              "-mavx512f;-mavx2;-mfma;-Wno-uninitialized;-Wno-maybe-uninitialized;${tv_dsp_avx_stack}")
endif()
