# Cross build for 64-bit ARM on an amd64 Debian: Debian's cross compilers (crossbuild-essential-arm64)
# and the arm64 -dev packages installed beside the machine's own (multiarch), so that the arm64
# headers and libraries sit in the aarch64-linux-gnu folders of / itself and no sysroot is needed.
#
#   cmake -G Ninja -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
#
# scripts/package-arm64 installs what this needs and builds the .deb with it.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# find_library and find_package look in the arm64 folders through CMAKE_LIBRARY_ARCHITECTURE; the
# programs run at build time (moc, rcc, uic, pkg-config, gzip) are the machine's own.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# pkg-config of the machine would hand out the amd64 .pc files; this wrapper reads the arm64 ones.
set(PKG_CONFIG_EXECUTABLE aarch64-linux-gnu-pkg-config CACHE FILEPATH "pkg-config for arm64")

# Qt's arm64 package files take the code generators from the amd64 Qt (qt6-base-dev-tools), which
# is where a cross build of Qt looks for its host tools.
set(QT_HOST_PATH /usr CACHE PATH "the Qt whose tools run on this machine")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "its CMake package files")

