// Writes a PascalScript program of about the requested number of lines to standard output:
// procedures and functions with declarations, loops, ifs, calls and expressions, the shape
// of a large real script. Used to measure compile speed (bench/run.sh).
//
//   kv_gen_compile_source [LINES]     (default 20000)
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int gLines = 0;

void Line(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fputc('\n', stdout);
  ++gLines;
}

// One routine of about 40 lines; it calls the routine before it so names resolve through
// the script's scope as they would in a real program.
void Routine(int n) {
  std::string id = std::to_string(n);
  Line("function Calc" + id + "(a, b: Integer; s: String): Integer;");
  Line("var");
  Line("  i, j, total: Integer;");
  Line("  x: Extended;");
  Line("  t: String;");
  Line("begin");
  Line("  total := 0;");
  Line("  t := s + '" + id + "';");
  Line("  for i := 1 to a do");
  Line("  begin");
  Line("    if (i mod 3 = 0) and (b > 0) then");
  Line("      total := total + i * b - (a div 2)");
  Line("    else if i mod 5 = 1 then");
  Line("      total := total - i");
  Line("    else");
  Line("      total := total + 1;");
  Line("    x := total / (i + 1.5) * 2.25;");
  Line("  end;");
  Line("  j := 0;");
  Line("  while j < b do");
  Line("  begin");
  Line("    j := j + 1;");
  Line("    case j of");
  Line("      1: total := total + 10;");
  Line("      2, 3: total := total + 20;");
  Line("      4..9: total := total - 5;");
  Line("    else");
  Line("      total := total + Length(t);");
  Line("    end;");
  Line("  end;");
  Line("  repeat");
  Line("    j := j - 1;");
  Line("  until j <= 0;");
  if (n > 1) Line("  total := total + Calc" + std::to_string(n - 1) + "(a - 1, b, t);");
  Line("  try");
  Line("    total := total + (a + b) * (a - b) div (b + 1);");
  Line("  except");
  Line("    total := 0;");
  Line("  end;");
  Line("  Result := total;");
  Line("end;");
  Line("");
}

}  // namespace

int main(int argc, char** argv) {
  int target = argc > 1 ? std::atoi(argv[1]) : 20000;
  if (target < 100) target = 100;
  Line("var");
  Line("  r: Integer;");
  int n = 0;
  while (gLines < target - 6) Routine(++n);
  Line("begin");
  Line("  r := Calc" + std::to_string(n) + "(0, 0, '');");
  Line("  ShowMessage(r);");
  Line("end.");
  return 0;
}
