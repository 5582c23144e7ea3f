# Third-party code is fetched into a cache beside the sources (never committed)
# and built here with the same cross compiler.
include(ExternalProject)

function(vantorel_fetch what)
  execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/deps/fetch.sh ${what} ${VANTOREL_DEPS_CACHE}
                  RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Could not fetch ${what}; see the message above.")
  endif()
endfunction()

# SQLite: the amalgamation, thread-safe, as a static library.
vantorel_fetch(sqlite)
set(SQLITE_DIR ${VANTOREL_DEPS_CACHE}/sqlite-amalgamation)
add_library(sqlite3 STATIC ${SQLITE_DIR}/sqlite3.c)
target_include_directories(sqlite3 SYSTEM PUBLIC ${SQLITE_DIR})
target_compile_definitions(sqlite3 PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION SQLITE_DEFAULT_FOREIGN_KEYS=0)
target_compile_options(sqlite3 PRIVATE -w -O2)

# libjpeg-turbo: the static jpeg library only, no SIMD (no nasm needed).
vantorel_fetch(libjpeg)
set(JPEG_SRC ${VANTOREL_DEPS_CACHE}/libjpeg-turbo-2.1.5)
set(JPEG_PREFIX ${CMAKE_BINARY_DIR}/deps/libjpeg)
set(JPEG_LIB ${JPEG_PREFIX}/lib/libjpeg.a)
find_program(NASM_EXE nasm)
if(NASM_EXE)
  set(JPEG_SIMD ON)
else()
  set(JPEG_SIMD OFF)
endif()
ExternalProject_Add(libjpeg_ext
  SOURCE_DIR ${JPEG_SRC}
  BINARY_DIR ${CMAKE_BINARY_DIR}/deps/libjpeg-build
  INSTALL_DIR ${JPEG_PREFIX}
  CMAKE_ARGS
    -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE}
    -DCMAKE_BUILD_TYPE=Release
    -DCMAKE_INSTALL_PREFIX=${JPEG_PREFIX}
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF -DWITH_SIMD=${JPEG_SIMD}
    -DCMAKE_POLICY_DEFAULT_CMP0057=NEW
  BUILD_COMMAND ${CMAKE_COMMAND} --build <BINARY_DIR> --target jpeg-static
  INSTALL_COMMAND ${CMAKE_COMMAND} -E make_directory ${JPEG_PREFIX}/lib ${JPEG_PREFIX}/include
    COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/libjpeg.a ${JPEG_LIB}
    COMMAND ${CMAKE_COMMAND} -E copy <BINARY_DIR>/jconfig.h ${JPEG_SRC}/jpeglib.h ${JPEG_SRC}/jmorecfg.h ${JPEG_SRC}/jerror.h ${JPEG_PREFIX}/include
  BUILD_BYPRODUCTS ${JPEG_LIB}
  LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)
file(MAKE_DIRECTORY ${JPEG_PREFIX}/include)
add_library(jpeg STATIC IMPORTED GLOBAL)
set_target_properties(jpeg PROPERTIES IMPORTED_LOCATION ${JPEG_LIB}
                      INTERFACE_INCLUDE_DIRECTORIES ${JPEG_PREFIX}/include)
add_dependencies(jpeg libjpeg_ext)

# GoogleTest from the Debian sources, cross-built.
if(VANTOREL_TESTS)
  set(GTEST_SRC /usr/src/googletest)
  if(NOT EXISTS ${GTEST_SRC}/CMakeLists.txt)
    message(FATAL_ERROR "GoogleTest sources not found in ${GTEST_SRC}; run scripts/setup.sh (Debian package googletest).")
  endif()
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${GTEST_SRC} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
endif()
