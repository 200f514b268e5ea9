{ Benchmark: floating-point loops: a midpoint integration of 4 / (1 + x*x), a damped
  oscillator stepped by Euler's method and a polynomial in Horner form. Prints rounded
  results. }
program FloatBench;

var
  i, n: Integer;
  x, h, sum, pos, vel, acc, dt, p, t: Double;
begin
  n := 1000000;
  h := 1.0 / n;
  sum := 0.0;
  for i := 0 to n - 1 do
  begin
    x := (i + 0.5) * h;
    sum := sum + 4.0 / (1.0 + x * x);
  end;
  sum := sum * h;

  pos := 1.0;
  vel := 0.0;
  dt := 0.00004;
  for i := 1 to 500000 do
  begin
    acc := -4.0 * pos - 0.1 * vel;
    vel := vel + acc * dt;
    pos := pos + vel * dt;
  end;

  p := 0.0;
  t := 0.0;
  while t < 1.0 do
  begin
    p := p + ((0.5 * t - 1.25) * t + 2.0) * t - 0.75;
    t := t + 0.000002;
  end;
  ShowMessage('floats: ' + IntToStr(Round(sum * 1000000)) + ' ' +
    IntToStr(Round(pos * 1000000)) + ' ' + IntToStr(Round(p)));
end.
