// Writes the crafted shapes of the benchmark into a folder as fuzzing seeds,
// at a few sizes, so that every run starts from the inputs that once cost
// more than their size.
#include <cstdio>
#include <string>

#include "indexdat/IndexDatShapes.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  int n = 0;
  for (const indexdat_test::ShapeInfo& s : indexdat_test::Shapes())
    for (size_t size : {16 * 1024, 64 * 1024, 1024 * 1024}) {
      std::string path = std::string(argv[1]) + "/shape-" + std::to_string(n++) + ".dat";
      indexdat_test::IndexDatBuilder shape = indexdat_test::MakeShape(s.shape, size);
      const std::vector<uint8_t>& bytes = shape.Bytes();
      FILE* f = std::fopen(path.c_str(), "wb");
      if (f == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) return 1;
      std::fclose(f);
    }
  return 0;
}
