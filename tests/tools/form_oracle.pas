{ Converts component streams with Free Pascal's Classes unit, an implementation of the
  stream format written independently of ours: "to-binary IN OUT" or "to-text IN OUT". }
program form_oracle;
{$mode objfpc}{$H+}
uses Classes, SysUtils;
var
  Input, Output: TFileStream;
begin
  if ParamCount <> 3 then
  begin
    WriteLn(StdErr, 'usage: form_oracle to-binary|to-text IN OUT');
    Halt(2);
  end;
  try
    Input := TFileStream.Create(ParamStr(2), fmOpenRead or fmShareDenyNone);
    try
      Output := TFileStream.Create(ParamStr(3), fmCreate);
      try
        if ParamStr(1) = 'to-binary' then
          ObjectTextToBinary(Input, Output)
        else
          ObjectBinaryToText(Input, Output);
      finally
        Output.Free;
      end;
    finally
      Input.Free;
    end;
  except
    on E: Exception do
    begin
      WriteLn(StdErr, E.ClassName, ': ', E.Message);
      Halt(1);
    end;
  end;
end.
